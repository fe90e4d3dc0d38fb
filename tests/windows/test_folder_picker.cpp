// The input and destination folder pickers: picking from a real profile,
// refusing folders of another kind, Clear, restore, and the settings file.

#include "Folder_Test_Profile.h"
#include "config/Registry_Routines.h"
#include "support/Fake_Folder.h"
#include "windows/Folder_Picker.h"
#include "windows/Message_Box.h"
#include "windows/frmPickFolder.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using bc::windows::Folder_Picker;
using bc::windows::frmPickFolder;
using bc::windows::Message_Box;

namespace {

frmPickFolder::Answer Odd(const QString& message_class, bool failing = false)
{
    // A folder that claims any message class, and whose identifiers can fail.
    return [=](bc::outlook::Name_Space&) -> frmPickFolder::Folder {
        auto folder = std::make_shared<bc::test::Fake_Folder>(QStringLiteral("Odd"));
        folder->messageClass = message_class;
        folder->entry = QStringLiteral("4F6464");
        folder->store = bc::test::kPersonalStoreId;
        folder->entryFails = failing;
        return folder;
    };
}

struct Stored
{
    QString name, entry, store;
    bool operator==(const Stored&) const = default;
};

Stored Input_Settings()
{
    return {bc::Get_Setting(bc::Email_Inbox_Folder), bc::Get_Setting(bc::Email_Inbox_Entry_ID),
            bc::Get_Setting(bc::Email_Inbox_StoreID)};
}

Stored Destination_Settings()
{
    return {bc::Get_Setting(bc::Email_Destination_Folder), bc::Get_Setting(bc::Email_Destination_EntryID),
            bc::Get_Setting(bc::Email_Destination_StoreID)};
}

char* Describe(const Stored& s)
{
    return QTest::toString(QStringLiteral("(%1, %2, %3)").arg(s.name, s.entry, s.store));
}

} // namespace

namespace QTest {
template <> char* toString(const Stored& s)
{
    return Describe(s);
}
} // namespace QTest

class Test_Folder_Picker : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<bc::test::Temp_Home> home_;

    QByteArray Settings_File() const { return home_->Read(home_->Registry_File()); }

private Q_SLOTS:
    void initTestCase()
    {
        bc::windows::Install_Message_Boxes();
        // Boxes nobody queued an answer for are recorded, not waited on.
        Message_Box::setUnattended(true);
    }

    void init()
    {
        home_ = std::make_unique<bc::test::Temp_Home>();
        bc::test::Make_Folder_Test_Profile(*home_);
        Message_Box::clearShown();
        frmPickFolder::clearNextAnswers();
    }

    void cleanup() { home_.reset(); }

    void pickStoresTheThreeSettings()
    {
        Folder_Picker input(Folder_Picker::Input);
        Folder_Picker destination(Folder_Picker::Destination);
        QSignalSpy changed(&input, &Folder_Picker::Folder_Changed);
        QCOMPARE(destination.Pick_Button()->text(), QStringLiteral("Pic&k Folder")); // Alt+K
        QCOMPARE(destination.Clear_Button()->text(), QStringLiteral("Cl&ear"));

        frmPickFolder::setNextAnswer(frmPickFolder::Folder_At(QStringLiteral("Personal Folders/Bounces")));
        QTest::mouseClick(input.Pick_Button(), Qt::LeftButton);
        QCOMPARE(Message_Box::shown(), QStringList());
        // Asked for a mail folder, with nothing chosen yet: opened on the Inbox.
        QCOMPARE(frmPickFolder::Last_Request().Title, QStringLiteral("Select Input Folder"));
        QCOMPARE(frmPickFolder::Last_Request().Message_Class, QStringLiteral("IPM.Note"));
        QCOMPARE(frmPickFolder::Last_Request().Entry_ID, QString());
        QCOMPARE(frmPickFolder::Last_Request().Default_Kind, int(bc::outlook::olFolderInbox));
        QCOMPARE(input.Text_Box()->text(), QStringLiteral("Bounces"));
        QCOMPARE(Input_Settings(), (Stored{QStringLiteral("Bounces"), bc::test::Folder_Entry_ID("Bounces"),
                                           bc::test::kPersonalStoreId}));
        QCOMPARE(changed.count(), 1);
        const QByteArray file = Settings_File();
        QVERIFY(file.contains("\"Email_Inbox_Folder\"=\"Bounces\""));
        QVERIFY(file.contains("\"Email_Inbox_StoreID\"=\"0123456789ABCDEF0123456789ABCDEF\""));
        QVERIFY(!file.contains("Email_Destination"));

        frmPickFolder::setNextAnswer(frmPickFolder::Folder_At(QStringLiteral("Shared Store/Inbox")));
        QTest::mouseClick(destination.Pick_Button(), Qt::LeftButton);
        QCOMPARE(destination.Text_Box()->text(), QStringLiteral("Inbox"));
        QCOMPARE(Destination_Settings(), (Stored{QStringLiteral("Inbox"), bc::test::Folder_Entry_ID("Inbox"),
                                                 bc::test::kSharedStoreId}));
        QCOMPARE(Input_Settings().name, QStringLiteral("Bounces")); // the other picker's settings stay
        QCOMPARE(frmPickFolder::Last_Request().Title, QStringLiteral("Select Destination Folder"));

        // Picking again opens on the folder chosen before.
        frmPickFolder::setNextAnswer([](bc::outlook::Name_Space&) { return frmPickFolder::Folder(); });
        input.Pick_Folder();
        QCOMPARE(frmPickFolder::Last_Request().Entry_ID, bc::test::Folder_Entry_ID("Bounces"));
        QCOMPARE(frmPickFolder::Last_Request().Store_ID, bc::test::kPersonalStoreId);
    }

    void wrongKindsAreRefusedAndTheOldChoiceStays()
    {
        Folder_Picker input(Folder_Picker::Input);
        frmPickFolder::setNextAnswer(frmPickFolder::Folder_At(QStringLiteral("Personal Folders/Inbox")));
        input.Pick_Folder();
        const Stored before = Input_Settings();
        QCOMPARE(before.name, QStringLiteral("Inbox"));

        const QStringList refused = {QStringLiteral("Personal Folders/Contacts"),
                                     QStringLiteral("Personal Folders/Tasks")};
        for (const QString& path : refused) {
            frmPickFolder::setNextAnswer(frmPickFolder::Folder_At(path));
            input.Pick_Folder();
        }
        // The test is exact: a class derived from IPM.Note is refused too.
        frmPickFolder::setNextAnswer(Odd(QStringLiteral("IPM.Note.Bounces")));
        input.Pick_Folder();
        frmPickFolder::setNextAnswer(Odd(QStringLiteral("ipm.note")));
        input.Pick_Folder();
        QCOMPARE(Message_Box::shown(), QStringList(4, QStringLiteral("Choose an E-mail Folder Store")));
        QCOMPARE(input.Text_Box()->text(), QStringLiteral("Inbox"));
        QCOMPARE(Input_Settings(), before);

        Folder_Picker destination(Folder_Picker::Destination);
        frmPickFolder::setNextAnswer(frmPickFolder::Folder_At(QStringLiteral("Shared Store/Team")));
        destination.Pick_Folder();
        QCOMPARE(Message_Box::shown().last(), QStringLiteral("Choose an E-mail Folder Store"));
        QCOMPARE(Destination_Settings(), Stored());
    }

    void cancelChangesNothing()
    {
        Folder_Picker destination(Folder_Picker::Destination);
        QSignalSpy changed(&destination, &Folder_Picker::Folder_Changed);
        frmPickFolder::setNextAnswer([](bc::outlook::Name_Space&) { return frmPickFolder::Folder(); });
        destination.Pick_Folder();
        QCOMPARE(Message_Box::shown(), QStringList());
        QCOMPARE(changed.count(), 0);
        QCOMPARE(destination.Text_Box()->text(), QString());
        QVERIFY(!Settings_File().contains("Email_Destination"));
    }

    void aFailingFolderShowsTheErrorAndStoresNothing()
    {
        Folder_Picker input(Folder_Picker::Input);
        frmPickFolder::setNextAnswer(frmPickFolder::Folder_At(QStringLiteral("Personal Folders/Inbox")));
        input.Pick_Folder();
        const Stored before = Input_Settings();

        frmPickFolder::setNextAnswer(Odd(QStringLiteral("IPM.Note"), true));
        input.Pick_Folder();
        QCOMPARE(Message_Box::shown(),
                 QStringList({QStringLiteral("Failed setting up subfolders. Error: The folder is gone.")}));
        // The name is not paired with the old folder's identifiers.
        QCOMPARE(Input_Settings(), before);
        QCOMPARE(input.Text_Box()->text(), QStringLiteral("Inbox"));

        // A dialog that cannot list the stores fails the same way.
        Message_Box::clearShown();
        frmPickFolder::setNextAnswer([](bc::outlook::Name_Space&) -> frmPickFolder::Folder {
            throw bc::outlook::Outlook_Error(QStringLiteral("No stores."));
        });
        input.Pick_Folder();
        QCOMPARE(Message_Box::shown(),
                 QStringList({QStringLiteral("Failed setting up subfolders. Error: No stores.")}));
    }

    void withoutAProfileThePickerStops()
    {
        const QString blocker = home_->Write(QStringLiteral("blocker"), "x");
        qputenv("BRINDLECAST_PROFILE", (blocker + QStringLiteral("/profile")).toLocal8Bit());
        Folder_Picker input(Folder_Picker::Input);
        frmPickFolder::setNextAnswer(frmPickFolder::Folder_At(QStringLiteral("Personal Folders/Inbox")));
        input.Pick_Folder();
        QVERIFY(!Message_Box::shown().isEmpty());
        QCOMPARE(Message_Box::shown().last(), QStringLiteral("Error starting outlook. Exiting..."));
        QCOMPARE(Input_Settings(), Stored());
    }

    void clearEmptiesTheThreeSettings()
    {
        Folder_Picker input(Folder_Picker::Input);
        Folder_Picker destination(Folder_Picker::Destination);
        frmPickFolder::setNextAnswer(frmPickFolder::Folder_At(QStringLiteral("Personal Folders/Inbox")));
        input.Pick_Folder();
        frmPickFolder::setNextAnswer(frmPickFolder::Folder_At(QStringLiteral("Personal Folders/Bounces")));
        destination.Pick_Folder();

        QTest::mouseClick(input.Clear_Button(), Qt::LeftButton);
        QCOMPARE(input.Text_Box()->text(), QString());
        QCOMPARE(Input_Settings(), Stored());
        const QByteArray file = Settings_File();
        QVERIFY(file.contains("\"Email_Inbox_Folder\"=\"\""));
        QVERIFY(file.contains("\"Email_Inbox_Entry_ID\"=\"\""));
        QVERIFY(file.contains("\"Email_Inbox_StoreID\"=\"\""));
        QCOMPARE(Destination_Settings().name, QStringLiteral("Bounces"));

        QTest::mouseClick(destination.Clear_Button(), Qt::LeftButton);
        QCOMPARE(destination.Text_Box()->text(), QString());
        QCOMPARE(Destination_Settings(), Stored());
    }

    void restoreShowsTheStoredName()
    {
        home_->Write(QStringLiteral("config/Brindlecast/registry.reg"),
                     "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Brindlecast]\r\n"
                     "\"Email_Inbox_Folder\"=\"Bounces\"\r\n\"Email_Destination_Folder\"=\"Old Mail\"\r\n");
        Folder_Picker input(Folder_Picker::Input);
        Folder_Picker destination(Folder_Picker::Destination);
        input.Restore();
        destination.Restore();
        QCOMPARE(input.Text_Box()->text(), QStringLiteral("Bounces"));
        QCOMPARE(destination.Text_Box()->text(), QStringLiteral("Old Mail"));
        QVERIFY(input.Text_Box()->isReadOnly());
    }
};

QTEST_MAIN(Test_Folder_Picker)
#include "test_folder_picker.moc"
