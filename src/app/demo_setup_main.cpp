// brindlecast-demo-setup: the settings and data files that make a demo run
// do something visible, and the summary of what that run changed.
//
//   brindlecast-demo-setup <profile folder>            settings, database list,
//                                                      no-check list, and a
//                                                      snapshot of the profile
//   brindlecast-demo-setup --summary <profile folder>  what changed since then
//
// Settings and data files go where the program itself looks (XDG folders),
// so run it with the same environment as the program.

#include "config/App_State.h"
#include "config/Contact_Folder_List.h"
#include "config/Identifier_Lists.h"
#include "config/Registry_Routines.h"
#include "demo/Demo_Profile.h"
#include "outlook/Outlook_Session.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QTextStream>

#include <cstdio>

using namespace bc;

namespace {

const QString kSnapshot = QStringLiteral(".demo-before");

void Print(const QString& line)
{
    std::printf("%s\n", line.toLocal8Bit().constData());
}

std::shared_ptr<outlook::Mapi_Folder> Find_Folder(const QString& name)
{
    for (const auto& store : outlook::Session().Outlook_Namespace->Stores())
        for (const auto& folder : store->Folders())
            if (folder->Name() == name)
                return folder;
    return nullptr;
}

// Every file of the profile (relative path -> content hash).
QMap<QString, QByteArray> Scan(const QString& profile)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(profile, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString rel = QDir(profile).relativeFilePath(path);
        if (rel == kSnapshot)
            continue;
        QFile f(path);
        if (f.open(QIODevice::ReadOnly))
            files.insert(rel, QCryptographicHash::hash(f.readAll(), QCryptographicHash::Md5).toHex());
    }
    return files;
}

// A Maildir message's unique name, without its folder and flags.
QString Message_Name(const QString& rel)
{
    return rel.section(QLatin1Char('/'), -1).section(QStringLiteral(":2,"), 0, 0);
}

QString Top_Folder(const QString& rel)
{
    return rel.section(QLatin1Char('/'), 1, 1);
}

int Setup(const QString& profile)
{
    if (!outlook::Start_Outlook())
        return 1;
    auto inbox = outlook::Session().Outlook_Namespace->GetDefaultFolder(outlook::olFolderInbox);
    auto contacts = Find_Folder(QStringLiteral("Contacts"));
    auto bounced = Find_Folder(QStringLiteral("Bounced"));
    if (!inbox || !contacts || !bounced) {
        std::fprintf(stderr, "brindlecast-demo-setup: %s is not a demo profile\n",
                     profile.toLocal8Bit().constData());
        return 1;
    }
    Save_Setting(Email_Inbox_Folder, inbox->Name());
    Save_Setting(Email_Inbox_Entry_ID, inbox->EntryID());
    Save_Setting(Email_Inbox_StoreID, inbox->StoreID());
    Save_Setting(Email_What_To_Do, 3);
    Save_Setting(Email_Destination_Folder, bounced->Name());
    Save_Setting(Email_Destination_EntryID, bounced->EntryID());
    Save_Setting(Email_Destination_StoreID, bounced->StoreID());
    // Keep the contacts, but mark them, clear the dead address, note the
    // bounce and schedule a follow-up.
    Save_Setting(Contact_Action, 1);
    Save_Setting(Contact_Field_To_Set, QStringLiteral("User1"));
    Save_Setting(Contact_Value_To_Set, QStringLiteral("Returned Email"));
    Save_Setting(Clear_Email_Address, 1);
    Save_Setting(CreateANote, 1);
    Save_Setting(ToDo_Status, QStringLiteral("Task"));
    Save_Setting(ToDo_Regarding, QStringLiteral("Returned Email"));
    Save_Setting(ToDo_Priority, QStringLiteral("High"));
    Save_Setting(Log_Enabled, 1);

    Set_Data_Folder();
    Folders().Contact_Folder_List = {Contact_Folder_Record{
        contacts->Name(), outlook::Get_Folder_Path(*contacts), contacts->EntryID(), contacts->StoreID()}};
    QString error;
    if (!Save_Contact_Folder_List(&error) ||
        !Save_No_Check_Strings({QString::fromLatin1(outlook::demo::kUser_Address)})) {
        std::fprintf(stderr, "brindlecast-demo-setup: %s\n", error.toLocal8Bit().constData());
        return 1;
    }

    QFile snap(QDir(profile).filePath(kSnapshot));
    if (!snap.open(QIODevice::WriteOnly))
        return 1;
    QTextStream out(&snap);
    const auto files = Scan(profile);
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        out << it.value() << ' ' << it.key() << '\n';
    Print(QStringLiteral("Settings: input folder Inbox; contacts get User1 = \"Returned Email\", the bounced "
                         "address cleared, a note and a task; returned mail moves to \"Bounced\"."));
    Print(QStringLiteral("Database list: Contacts. No-check list: %1. Log: %2")
              .arg(QString::fromLatin1(outlook::demo::kUser_Address),
                   Data_File(QStringLiteral("bouncedemails.log"))));
    return 0;
}

int Summary(const QString& profile)
{
    QFile snap(QDir(profile).filePath(kSnapshot));
    if (!snap.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "brindlecast-demo-setup: no snapshot; run the setup first\n");
        return 1;
    }
    QMap<QString, QByteArray> before;
    while (!snap.atEnd()) {
        const QString line = QString::fromUtf8(snap.readLine()).trimmed();
        before.insert(line.section(QLatin1Char(' '), 1), line.section(QLatin1Char(' '), 0, 0).toLatin1());
    }
    const auto after = Scan(profile);
    QMap<QString, QString> afterByMessage;
    for (auto it = after.cbegin(); it != after.cend(); ++it)
        if (it.key().contains(QLatin1String("/cur/")) || it.key().contains(QLatin1String("/new/")))
            afterByMessage.insert(Message_Name(it.key()), Top_Folder(it.key()));

    QStringList deleted, changed, tasks, moved;
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        const QString& rel = it.key();
        if (rel.endsWith(QLatin1String(".vcf")) && !rel.contains(QLatin1String("Deleted"))) {
            if (!after.contains(rel))
                deleted << rel.section(QLatin1Char('/'), -1);
            else if (after.value(rel) != it.value())
                changed << rel.section(QLatin1Char('/'), -1);
        } else if ((rel.contains(QLatin1String("/cur/")) || rel.contains(QLatin1String("/new/"))) &&
                   !after.contains(rel)) {
            const QString now = afterByMessage.value(Message_Name(rel), QStringLiteral("(gone)"));
            moved << QStringLiteral("%1 -> %2").arg(Message_Name(rel), now);
        }
    }
    for (auto it = after.cbegin(); it != after.cend(); ++it)
        if (it.key().endsWith(QLatin1String(".ics")) && !before.contains(it.key()))
            tasks << it.key().section(QLatin1Char('/'), -1);

    Print(QStringLiteral("\nWhat the run changed in %1:").arg(profile));
    Print(QStringLiteral("  contacts deleted: %1").arg(deleted.size()));
    for (const auto& f : deleted)
        Print(QStringLiteral("    %1").arg(f));
    Print(QStringLiteral("  contacts changed: %1").arg(changed.size()));
    for (const auto& f : changed)
        Print(QStringLiteral("    %1").arg(f));
    Print(QStringLiteral("  tasks made: %1").arg(tasks.size()));
    Print(QStringLiteral("  messages moved: %1").arg(moved.size()));
    for (const auto& m : moved)
        Print(QStringLiteral("    %1").arg(m));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 1 && !args[0].startsWith(QLatin1Char('-')))
        return Setup(QDir(args[0]).absolutePath());
    if (args.size() == 2 && args[0] == QLatin1String("--summary"))
        return Summary(QDir(args[1]).absolutePath());
    std::fprintf(stderr, "Usage: brindlecast-demo-setup [--summary] <profile folder>\n");
    return 2;
}
