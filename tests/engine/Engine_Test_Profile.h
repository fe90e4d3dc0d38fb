#pragma once
// A real mail profile in a temporary home for the engine's tests: a Maildir
// Inbox that tests fill with messages, a vCard contact folder, settings and
// the database list, and a channel that records every message box. Resets the
// program-wide state before and after each test.

#include "config/App_State.h"
#include "config/Contact_Folder_List.h"
#include "config/Identifier_Lists.h"
#include "config/Registry_Routines.h"
#include "engine/Disposal.h"
#include "engine/Processing_Flags.h"
#include "engine/Progress_Log.h"
#include "engine/Recognition.h"
#include "engine/Run_Interfaces.h"
#include "engine/Run_State.h"
#include "outlook/Item_Files.h"
#include "outlook/Mapi_Components.h"
#include "outlook/Outlook_Session.h"
#include "outlook/Profile.h"
#include "support/Recorded_Messages.h"
#include "support/Temp_Home.h"

#include <QDir>
#include <QFile>

#include <functional>

namespace bc::test {

// Records the progress lines; `onLine` runs after each, e.g. to press Close.
class Recorded_Progress : public engine::Progress_View
{
public:
    void Show_Window() override { ++shown; }
    void Add_Line(const QString& text) override
    {
        lines << text;
        if (onLine)
            onLine(text);
    }
    QStringList lines;
    int shown = 0;
    std::function<void(const QString&)> onLine;
};

// The choices as plain fields, read when each contact is handled.
class Fixed_Choices : public engine::Contact_Action_Choices
{
public:
    int Contact_Delete() const override { return deleteContact; }
    int Create_A_Note() const override { return note; }
    int Clear_Email_Address() const override { return clearAddress; }
    int Set_Field_In_Contact() const override { return setField; }
    QString Field_To_Be_Set() const override { return field; }
    QString Field_Value() const override { return value; }
    QString Event_Text() const override { return event; }

    int deleteContact = 0;
    int note = 0;
    int clearAddress = 0;
    int setField = 0;
    QString field = QStringLiteral("<None>");
    QString value;
    QString event = QStringLiteral("<None>");
};

inline void Reset_Program_State()
{
    Lists().Search_Strings = Fallback_Search_Strings();
    Lists().No_Check_Strings.clear();
    Folders().Contact_Folder_List.clear();
    engine::Run_State& state = engine::State();
    state.Message_Rows.clear();
    state.Input_Store_ID.clear();
    state.Bounced_Emails.Clear();
    state.Found_Message_Index = 0;
    state.Destination_Folder.reset();
    state.Message_Bodies.Clear();
    state.Kept_Messages.clear();
    state.Walk_Failed = false;
    state.Run_Failed = false;
    engine::Flags() = engine::Processing_Flags{};
    engine::Set_Progress_View(nullptr);
    engine::Set_Selective_Conversion_View(nullptr);
    App().Auto_Run = false;
}

class Engine_Profile
{
public:
    Engine_Profile()
    {
        Reset_Program_State();
        Set_Data_Folder();
        outlook::Set_Profile_User(home.Profile(), QStringLiteral("Jane Doe"),
                                  QStringLiteral("jane.doe@example.com"));
        const auto profile = outlook::Open_Profile(home.Profile());
        if (profile && !profile->Stores.empty())
            storeId = profile->Stores.front().Id;
    }
    ~Engine_Profile() { Reset_Program_State(); }

    QString Root() const { return home.Profile() + QStringLiteral("/Personal Folders"); }
    QString Folder(const QString& path) const { return Root() + QLatin1Char('/') + path; }

    // A message in the Maildir `folder`; messages sort (and so are listed)
    // in the order they were added. Returns the unique file name.
    QString Add_Message(const QString& subject, const QString& body,
                        const QString& folder = QStringLiteral("Inbox"), const QByteArray& extraHeaders = {})
    {
        const int n = ++messageCount_;
        const QString unique = QStringLiteral("%1.M%2P1.test").arg(1700000000 + n).arg(n);
        QByteArray text = "From: Mail Delivery System <MAILER-DAEMON@mx.example.net>\r\n"
                          "To: Jane Doe <jane.doe@example.com>\r\n";
        if (!subject.isNull())
            text += "Subject: " + subject.toUtf8() + "\r\n";
        text += "Date: Tue, 14 Nov 2023 22:13:20 +0000\r\n"
                "Message-ID: <" +
                unique.toUtf8() +
                "@test>\r\n"
                "MIME-Version: 1.0\r\n"
                "Content-Type: text/plain; charset=utf-8\r\n"
                "Content-Transfer-Encoding: 8bit\r\n" +
                extraHeaders + "\r\n" + body.toUtf8();
        Write_File(Folder(folder) + QStringLiteral("/cur/") + unique + QStringLiteral(":2,S"), text);
        return unique;
    }

    // An empty Maildir.
    void Add_Mail_Folder(const QString& folder) const
    {
        for (const char* sub : {"cur", "new", "tmp"})
            QDir().mkpath(Folder(folder) + QLatin1Char('/') + QLatin1String(sub));
    }

    // The settings that make a run move the returned messages into `folder`.
    void Move_Returned_Messages_To(const QString& folder) const
    {
        Add_Mail_Folder(folder);
        Save_Setting(Email_What_To_Do, 3);
        Save_Setting(Email_Destination_EntryID, outlook::Entry_ID_To_Hex(folder.toUtf8()));
        Save_Setting(Email_Destination_StoreID, storeId);
    }

    // A raw message file (a sample from the corpora) in the Inbox.
    QString Add_Raw_Message(const QByteArray& content)
    {
        const int n = ++messageCount_;
        const QString unique = QStringLiteral("%1.M%2P1.test").arg(1700000000 + n).arg(n);
        Write_File(Folder(QStringLiteral("Inbox")) + QStringLiteral("/cur/") + unique +
                       QStringLiteral(":2,S"),
                   content);
        return unique;
    }

    // A vCard 3.0 contact; `emails` fill EMAIL properties in order.
    QString Add_Contact(const QString& file, const QString& fullName, const QStringList& emails,
                        const QString& note = {}, const QString& folder = QStringLiteral("Contacts"))
    {
        QByteArray text = "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + file.toUtf8() +
                          "-uid\r\nFN:" + fullName.toUtf8() +
                          "\r\nN:" + fullName.section(QLatin1Char(' '), -1).toUtf8() + ";" +
                          fullName.section(QLatin1Char(' '), 0, 0).toUtf8() + ";;;\r\n";
        for (const QString& email : emails)
            text += "EMAIL;TYPE=INTERNET:" + email.toUtf8() + "\r\n";
        if (!note.isEmpty())
            text += "NOTE:" + note.toUtf8() + "\r\n";
        text += "END:VCARD\r\n";
        const QString path = Folder(folder) + QLatin1Char('/') + file;
        Write_File(path, text);
        return path;
    }

    // Reads the Inbox's message table into Message_Rows the way a run does;
    // returns the number of rows.
    int Read_Inbox()
    {
        outlook::Start_Outlook();
        auto inbox = outlook::Session().Outlook_Namespace->GetDefaultFolder(outlook::olFolderInbox);
        outlook::QuorinMAPITable table;
        table.Set_Item(inbox->Items());
        table.Set_Columns({outlook::PR_SUBJECT, outlook::PR_MESSAGE_DELIVERY_TIME, outlook::PR_ENTRYID,
                           outlook::PR_MESSAGE_CLASS});
        table.GoToFirst();
        engine::State().Message_Rows = table.GetRows(table.RowCount());
        engine::State().Input_Store_ID = inbox->StoreID();
        return static_cast<int>(engine::State().Message_Rows.size());
    }

    // Reads the Inbox and scans every recognised message, as a run does.
    void Scan_Inbox()
    {
        const int rows = Read_Inbox();
        engine::State().Bounced_Emails.Clear();
        for (qint32 row = 0; row < rows; ++row)
            if (engine::Is_Returned_Message(engine::State().Message_Rows[row]))
                engine::Scan_Email_For_Return_Emails(row);
    }

    // Lists a contact folder as a database; returns its index.
    qint32 Add_Database(const QString& name, const QString& folderPath = QStringLiteral("Contacts"))
    {
        Folders().Contact_Folder_List.push_back({name, QStringLiteral("Personal Folders"),
                                                 outlook::Entry_ID_To_Hex(folderPath.toUtf8()), storeId});
        return Folders().Contact_Folder_Count() - 1;
    }

    std::shared_ptr<outlook::Contact_Item> Contact(const QString& path) const
    {
        return outlook::Load_Contact_File({path, QString(), Folder(QStringLiteral("Deleted Contacts"))});
    }

    // The files of a Maildir (cur and new) or of a plain folder.
    QStringList Files(const QString& folder) const
    {
        const QDir dir(Folder(folder));
        if (dir.exists(QStringLiteral("cur")) || dir.exists(QStringLiteral("new")))
            return QDir(dir.filePath(QStringLiteral("cur"))).entryList(QDir::Files) +
                   QDir(dir.filePath(QStringLiteral("new"))).entryList(QDir::Files);
        return dir.entryList(QDir::Files);
    }

    static void Write_File(const QString& path, const QByteArray& content)
    {
        QDir().mkpath(path.section(QLatin1Char('/'), 0, -2));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(content);
    }

    Temp_Home home;
    Recorded_Messages messages;
    QString storeId;

private:
    int messageCount_ = 0;
};

} // namespace bc::test
