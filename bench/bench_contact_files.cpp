// Contacts and tasks as files: what the contact walk of a run costs per
// contact (load, three address reads, the name), what the contact actions cost
// (clear an address, a field, a user property, save), and a new task.
//
//   bench_contact_files [contacts] [work folder]   (default 5000, the system's temporary folder)

#include "outlook/Contact_Fields.h"
#include "outlook/Item_Files.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

using namespace bc::outlook;

namespace {

QByteArray Sample_Contact(int i)
{
    // A typical synced contact: name, three addresses, phones, an address, a
    // small photo and some extension properties.
    QByteArray photo(3000, 'A');
    QByteArray card = "BEGIN:VCARD\r\nVERSION:3.0\r\nPRODID:-//bench//EN\r\n";
    card += "UID:bench-" + QByteArray::number(i) + "\r\n";
    card += "FN:Person Number " + QByteArray::number(i) + "\r\nN:Number " + QByteArray::number(i) +
            ";Person;;;\r\n";
    card += "EMAIL;TYPE=INTERNET,WORK:p" + QByteArray::number(i) + "@work.example\r\n";
    card += "EMAIL;TYPE=INTERNET,HOME:p" + QByteArray::number(i) + "@home.example\r\n";
    card += "item1.EMAIL:p" + QByteArray::number(i) + "@other.example\r\nitem1.X-ABLabel:other\r\n";
    card += "TEL;TYPE=WORK,VOICE:+1 555 0100\r\nTEL;TYPE=CELL:+1 555 0101\r\n";
    card += "ADR;TYPE=HOME:;;1 Main St;Springfield;IL;62701;USA\r\nORG:Acme;Sales\r\nTITLE:Clerk\r\n";
    card += "NOTE:Met at the fair\\, 2019.\\nCall back in spring.\r\n";
    for (qsizetype at = 0; at < photo.size(); at += 72)
        card += (at == 0 ? "PHOTO;ENCODING=b;TYPE=JPEG:" : " ") + photo.mid(at, 72) + "\r\n";
    card +=
        "X-SOCIALPROFILE;type=twitter:person" + QByteArray::number(i) + "\r\nREV:2024-01-01T00:00:00Z\r\n";
    return card + "END:VCARD\r\n";
}

double Us(qint64 ns, int count)
{
    return static_cast<double>(ns) / 1000.0 / count;
}

} // namespace

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5000;
    const QString base = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QDir::tempPath();
    QTemporaryDir work(base + QStringLiteral("/bench_contact_files-XXXXXX"));
    if (!work.isValid()) {
        std::fprintf(stderr, "cannot create a work folder\n");
        return 1;
    }
    const QString folder = work.path() + QStringLiteral("/Contacts");
    QDir().mkpath(folder);
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        paths.append(folder + QStringLiteral("/c%1.vcf").arg(i, 6, 10, QLatin1Char('0')));
        QFile file(paths.last());
        if (!file.open(QIODevice::WriteOnly) || file.write(Sample_Contact(i)) < 0)
            return 1;
    }
    auto context = [&](const QString& path) {
        return Contact_File_Context{path, path, work.path() + QStringLiteral("/Deleted")};
    };

    QElapsedTimer timer;
    timer.start();
    int matched = 0;
    for (const QString& path : paths) {
        auto contact = Load_Contact_File(context(path));
        if (!contact)
            return 2;
        for (int slot = 1; slot <= 3; ++slot)
            matched += contact->Email_Address(slot).endsWith(QLatin1String("@home.example"));
        matched += contact->FullName().isEmpty();
    }
    const qint64 walkNs = timer.nsecsElapsed();
    std::printf("contact walk: %.1f us per contact (load, 3 addresses, name), %d contacts, %d home matches\n",
                Us(walkNs, count), count, matched);

    timer.start();
    for (const QString& path : paths) {
        auto contact = Load_Contact_File(context(path));
        contact->Set_Email_Address(2, QString());
        contact->Set_Standard_Field(QStringLiteral("User1"), QStringLiteral("Bounced"));
        contact->UserProperties().Add(QStringLiteral("Bounce Status"))->Set_Value(QStringLiteral("Bounced"));
        contact->Save();
    }
    const qint64 actNs = timer.nsecsElapsed();
    std::printf("contact actions: %.1f us per contact (load, clear slot 2, field, user property, save)\n",
                Us(actNs, count));

    const Task_File_Context tasks{work.path() + QStringLiteral("/Tasks"), QStringLiteral("Tasks")};
    QDir().mkpath(tasks.Folder_Path);
    auto contact = Load_Contact_File(context(paths.first()));
    constexpr int kTasks = 1000;
    timer.start();
    for (int i = 0; i < kTasks; ++i) {
        auto task = New_Task_File(tasks);
        task->Set_Importance(olImportanceHigh);
        task->Set_StartDate(QDate::currentDate());
        task->Set_Subject(QStringLiteral("Returned Email"));
        task->Set_Body(QStringLiteral("Delivery failed.\r\nThe address is unknown."));
        task->Add_Link(*contact);
        task->Save();
    }
    std::printf("new task: %.1f us per task (%d tasks)\n", Us(timer.nsecsElapsed(), kTasks), kTasks);
    return 0;
}
