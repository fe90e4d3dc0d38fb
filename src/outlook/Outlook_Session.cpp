#include "outlook/Outlook_Session.h"

#include "config/User_Messages.h"
#include "outlook/Profile.h"
#include "outlook/Profile_Session.h"

#include <QDir>

namespace bc::outlook {

Outlook_Session& Session()
{
    static Outlook_Session session;
    return session;
}

QString Profile_Folder()
{
    const QString chosen = qEnvironmentVariable("BRINDLECAST_PROFILE");
    if (!chosen.isEmpty())
        return chosen;
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return data + QStringLiteral("/Brindlecast/Profile");
}

bool Start_Outlook()
{
    // Every call attaches afresh, so a profile edited meanwhile is seen.
    auto profile = Open_Profile(Profile_Folder());
    if (!profile) {
        Messages().Show_Message(QStringLiteral("Failed to create Outlook Application!"));
        return false;
    }
    Outlook_Session& session = Session();
    session.Outlook_Application = std::make_shared<Profile_Application>(profile);
    session.Outlook_Namespace = session.Outlook_Application->GetNamespace(QStringLiteral("MAPI"));
    if (!session.Outlook_Namespace) {
        Messages().Show_Message(QStringLiteral("Failed to create Outlook Namespace!"));
        return false;
    }
    return true;
}

QString Entry_ID_To_Hex(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex().toUpper());
}

QString Get_Folder_Path(const Mapi_Folder& folder)
{
    QString path;
    try {
        auto current = folder.Parent();
        if (!current)
            return path;
        path = current->Name();
        for (auto above = current->Parent(); above; above = above->Parent())
            path = above->Name() + QStringLiteral("->") + path;
    } catch (const std::exception& e) {
        Messages().Show_Message(QStringLiteral("Error Scanning Contact Folder Path. ") +
                                QString::fromStdString(e.what()));
    }
    return path;
}

} // namespace bc::outlook
