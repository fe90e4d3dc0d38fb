// The data files and their encryption: the cost of one encrypted value, of
// saving and loading a long contact folder list and no-check list, and of the
// subject test over 100,000 subjects with the built-in identifiers.
//
//   bench_data_files [work folder]        (default: the system's temporary folder)

#include "config/App_State.h"
#include "config/Contact_Folder_List.h"
#include "config/Data_Strings.h"
#include "config/Identifier_Lists.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

using namespace bc;

namespace {

double Per_Item_Us(qint64 ns, int count)
{
    return static_cast<double>(ns) / 1000.0 / count;
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir work(argc > 1 ? QString::fromLocal8Bit(argv[1]) + QStringLiteral("/bench_data_files-XXXXXX")
                                : QDir::tempPath() + QStringLiteral("/bench_data_files-XXXXXX"));
    if (!work.isValid()) {
        std::fprintf(stderr, "cannot create a work folder\n");
        return 1;
    }
    App().Data_Folder = work.path() + QLatin1Char('/');
    QElapsedTimer timer;

    constexpr int kValues = 20000;
    QStringList plain;
    for (int i = 0; i < kValues; ++i)
        plain.append(QStringLiteral("person%1@example.com").arg(i));
    QStringList encrypted;
    timer.start();
    for (const QString& value : plain)
        encrypted.append(Encrypt_Data_String(value));
    const qint64 encryptNs = timer.nsecsElapsed();
    timer.start();
    int mismatches = 0;
    for (int i = 0; i < kValues; ++i)
        mismatches += Decrypt_Data_String(encrypted[i]) != plain[i];
    const qint64 decryptNs = timer.nsecsElapsed();
    std::printf("Encrypt_Data_String: %.2f us per value (%d values)\n", Per_Item_Us(encryptNs, kValues),
                kValues);
    std::printf("Decrypt_Data_String: %.2f us per value, %d mismatches\n", Per_Item_Us(decryptNs, kValues),
                mismatches);

    constexpr int kFolders = 1000;
    for (int i = 0; i < kFolders; ++i) {
        Contact_Folder_Record r;
        r.Folder_Name = QStringLiteral("Contacts %1").arg(i);
        r.Folder_Path = QStringLiteral("Personal Folders->Clients->Contacts %1").arg(i);
        r.Entry_ID = QStringLiteral("436F6E74616374732F%1").arg(i, 8, 16, QLatin1Char('0')).toUpper();
        r.Store_ID = QStringLiteral("0123456789ABCDEF0123456789ABCDEF");
        Folders().Contact_Folder_List.push_back(r);
    }
    timer.start();
    const bool saved = Save_Contact_Folder_List();
    const qint64 saveNs = timer.nsecsElapsed();
    Folders().Contact_Folder_List.clear();
    timer.start();
    const bool loaded = Load_Contact_Folder_List();
    const qint64 loadNs = timer.nsecsElapsed();
    std::printf("contact folder list, %d records: save %.1f ms (%s), load %.1f ms (%s, %d records)\n",
                kFolders, saveNs / 1e6, saved ? "ok" : "FAILED", loadNs / 1e6, loaded ? "ok" : "FAILED",
                Folders().Contact_Folder_Count());

    constexpr int kAddresses = 1000;
    QStringList rows;
    for (int i = 0; i < kAddresses; ++i)
        rows.append(QStringLiteral("owner%1@example.org").arg(i));
    timer.start();
    const bool noCheckSaved = Save_No_Check_Strings(rows);
    const qint64 noCheckSaveNs = timer.nsecsElapsed();
    Lists().No_Check_Strings.clear();
    timer.start();
    Setup_No_Check();
    const qint64 noCheckLoadNs = timer.nsecsElapsed();
    std::printf("no-check list, %d addresses: save %.1f ms (%s), load %.1f ms (%d entries)\n", kAddresses,
                noCheckSaveNs / 1e6, noCheckSaved ? "ok" : "FAILED", noCheckLoadNs / 1e6,
                Lists().Num_No_Check_Strings());

    constexpr int kSubjects = 100000;
    QStringList subjects;
    for (int i = 0; i < kSubjects; ++i)
        subjects.append(i % 100 == 0 ? QStringLiteral("Undeliverable: Meeting notes %1").arg(i)
                                     : QStringLiteral("Re: Quarterly report and next steps, part %1").arg(i));
    Setup_Search_Strings(); // no file: the built-in phrases
    timer.start();
    int returned = 0;
    for (const QString& subject : subjects)
        returned += Contains_Return_Identifier(subject);
    const qint64 subjectNs = timer.nsecsElapsed();
    std::printf("subject test, %d subjects against %d identifiers: %.1f ms (%d returned)\n", kSubjects,
                Lists().Num_Search_Strings(), subjectNs / 1e6, returned);
    return mismatches == 0 && saved && loaded && noCheckSaved ? 0 : 1;
}
