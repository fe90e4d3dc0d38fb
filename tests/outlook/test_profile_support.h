#pragma once
// Small builders for tests of the mail profile: message files, Maildirs and
// a session on the temporary home's profile.

#include "outlook/Outlook_Session.h"
#include "support/Qt_Print.h"
#include "support/Recorded_Messages.h"
#include "support/Temp_Home.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

namespace bc::test {

inline QString Hex(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex().toUpper());
}

inline void Make_Maildir(const QString& dir)
{
    for (const char* sub : {"cur", "new", "tmp"})
        QDir().mkpath(dir + QLatin1Char('/') + QLatin1String(sub));
}

inline QString Write_File(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        ADD_FAILURE() << "cannot write " << path.toStdString();
    f.write(content);
    return path;
}

// A simple message: the given header lines (CR LF is added) and body.
inline QByteArray Message(const QByteArray& headers, const QByteArray& body = "Hello.\r\n")
{
    QByteArray out = "From: Sender <sender@example.org>\r\nTo: Jane Doe <jane@example.com>\r\n";
    out += headers;
    if (!headers.isEmpty() && !headers.endsWith("\n"))
        out += "\r\n";
    out += "\r\n" + body;
    return out;
}

inline QStringList Files_In(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// The default store's directory of a profile that Start_Outlook created.
inline QString Personal_Folders(const Temp_Home& home)
{
    return home.Profile() + "/Personal Folders";
}

inline std::shared_ptr<bc::outlook::Name_Space> Open_Session()
{
    EXPECT_TRUE(bc::outlook::Start_Outlook());
    return bc::outlook::Session().Outlook_Namespace;
}

inline QString Default_Store_Id(bc::outlook::Name_Space& ns)
{
    return ns.Stores().at(0)->StoreID();
}

// A folder of the default store by its path ("Inbox/Bounces").
inline std::shared_ptr<bc::outlook::Mapi_Folder>
Folder_At(bc::outlook::Name_Space& ns, const QByteArray& path, const QString& storeId = {})
{
    return ns.GetFolderFromID(Hex(path), storeId.isEmpty() ? Default_Store_Id(ns) : storeId);
}

} // namespace bc::test
