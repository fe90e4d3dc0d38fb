// brindlecast-demo-profile <profile folder>: writes a demo mail profile to try
// the program on, and prints what it made.

#include "demo/Demo_Profile.h"

#include <QDir>

#include <cstdio>
#include <cstring>

using namespace bc::outlook;

namespace {

void Print(const QString& line)
{
    std::printf("%s\n", line.toLocal8Bit().constData());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        Print(QStringLiteral("Usage: brindlecast-demo-profile <profile folder>\n"
                             "Writes a demo mail profile (Jane Doe's Personal Folders) into the folder.\n"
                             "Point BRINDLECAST_PROFILE at it to run Brindlecast on it."));
        return 0;
    }
    if (argc != 2) {
        std::fprintf(stderr, "Usage: brindlecast-demo-profile <profile folder>\n");
        return 2;
    }
    const QString folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QString error;
    if (!Write_Demo_Profile(folder, &error)) {
        std::fprintf(stderr, "brindlecast-demo-profile: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    const auto& returned = demo::Returned_Messages();
    Print(QStringLiteral("Demo profile in %1").arg(folder));
    Print(QStringLiteral("User: %1 <%2>").arg(demo::kUser_Name, demo::kUser_Address));
    Print(QStringLiteral("Store \"%1\": Inbox, Contacts, Tasks, Deleted Items, Bounced")
              .arg(demo::kStore_Name));
    Print(QStringLiteral("Inbox: %1 messages, %2 of them returned mail:")
              .arg(int(returned.size()) + demo::Ordinary_Message_Count())
              .arg(returned.size()));
    for (const auto& m : returned)
        Print(QStringLiteral("  %1  [%2%3]  %4")
                  .arg(m.Subject, m.Form,
                       m.Message_Class == QLatin1String("IPM.Note")
                           ? QString()
                           : QStringLiteral(", class ") + m.Message_Class,
                       m.Failed.join(QLatin1String(", "))));
    Print(QStringLiteral("Contacts: %1 vCards; these carry bounced addresses:").arg(demo::Contact_Count()));
    for (const auto& c : demo::Bounced_Contacts())
        Print(QStringLiteral("  %1  (%2, Email%3Address: %4)")
                  .arg(c.Full_Name, c.File)
                  .arg(c.Slot)
                  .arg(c.Address));
    Print(QStringLiteral("Put %1 on the no-check list before a run: returned messages quote it.")
              .arg(demo::kUser_Address));
    return 0;
}
