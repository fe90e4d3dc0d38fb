// The unattended run over the demo profile changes exactly the contacts that
// carry a bounced address and moves exactly the returned messages that
// yielded one: the user's own address and the delivery report are left alone.
#include "config/App_State.h"
#include "config/Contact_Folder_List.h"
#include "config/Identifier_Lists.h"
#include "config/Registry_Routines.h"
#include "demo/Demo_Profile.h"
#include "engine/Run.h"
#include "engine/Stored_Choices.h"
#include "outlook/Outlook_Session.h"
#include "support/Temp_Home.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <gtest/gtest.h>

using namespace bc;
using namespace bc::outlook;
using bc::test::Read_File;

namespace {

std::shared_ptr<Mapi_Folder> Child(const QString& name)
{
    for (const auto& folder : Session().Outlook_Namespace->Stores().front()->Folders())
        if (folder->Name() == name)
            return folder;
    return nullptr;
}

// Unique names of the messages of a mail folder on disk.
QSet<QString> Messages_In(const QString& folder)
{
    QSet<QString> names;
    for (const char* sub : {"/cur", "/new"})
        for (const QString& f : QDir(folder + QLatin1String(sub)).entryList(QDir::Files))
            names.insert(f.section(QStringLiteral(":2,"), 0, 0));
    return names;
}

} // namespace

TEST(DemoRun, ChangesExactlyTheBouncedContactsAndMovesExactlyTheReturnedMail)
{
    test::Temp_Home home;
    QString error;
    ASSERT_TRUE(Write_Demo_Profile(home.Profile(), &error)) << error.toStdString();
    ASSERT_TRUE(Start_Outlook());
    auto contacts = Child(QStringLiteral("Contacts"));
    auto bounced = Child(QStringLiteral("Bounced"));
    ASSERT_TRUE(contacts && bounced);
    const QString store = home.Profile() + QStringLiteral("/Personal Folders");

    QMap<QString, QByteArray> before;
    for (const QString& f : QDir(store + "/Contacts").entryList({"*.vcf"}, QDir::Files))
        before.insert(f, Read_File(store + "/Contacts/" + f));
    const QSet<QString> inboxBefore = Messages_In(store + "/Inbox");

    Save_Setting(Contact_Action, 1);
    Save_Setting(Contact_Field_To_Set, QStringLiteral("User1"));
    Save_Setting(Contact_Value_To_Set, QStringLiteral("Returned Email"));
    Save_Setting(bc::Clear_Email_Address, 1);
    Save_Setting(Email_What_To_Do, 3);
    Save_Setting(Email_Destination_EntryID, bounced->EntryID());
    Save_Setting(Email_Destination_StoreID, bounced->StoreID());
    App().Data_Folder = Set_Data_Folder();
    Folders().Contact_Folder_List = {
        Contact_Folder_Record{contacts->Name(), QString(), contacts->EntryID(), contacts->StoreID()}};
    Setup_Search_Strings();
    Lists().No_Check_Strings = {QString::fromLatin1(demo::kUser_Address).toUpper()};

    App().Auto_Run = true;
    engine::Stored_Contact_Action_Choices choices;
    testing::internal::CaptureStdout();
    const bool ran = engine::Run_All_Unattended(choices);
    testing::internal::GetCapturedStdout();
    App().Auto_Run = false;
    Folders().Contact_Folder_List.clear();
    ASSERT_TRUE(ran);

    // Contacts: exactly the bounced ones changed, their bounced slot cleared.
    QSet<QString> expectedChanged;
    for (const auto& c : demo::Bounced_Contacts())
        expectedChanged.insert(c.File);
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        const QByteArray now = Read_File(store + "/Contacts/" + it.key());
        ASSERT_FALSE(now.isEmpty()) << it.key().toStdString() << " vanished";
        EXPECT_EQ(now != it.value(), expectedChanged.contains(it.key())) << it.key().toStdString();
    }
    for (const auto& c : demo::Bounced_Contacts()) {
        const QByteArray now = Read_File(store + "/Contacts/" + c.File);
        EXPECT_FALSE(now.toLower().contains(c.Address.toLower().toUtf8())) << c.File.toStdString();
        EXPECT_TRUE(now.contains("Returned Email")) << c.File.toStdString();
    }

    // Messages: the returned ones of class IPM.Note moved, everything else stays.
    QSet<QString> expectedMoved;
    for (const auto& m : demo::Returned_Messages())
        if (m.Message_Class == QLatin1String("IPM.Note") && !m.Failed.isEmpty())
            expectedMoved.insert(m.File);
    EXPECT_EQ(Messages_In(store + "/Bounced"), expectedMoved);
    EXPECT_EQ(Messages_In(store + "/Inbox"), inboxBefore - expectedMoved);
}
