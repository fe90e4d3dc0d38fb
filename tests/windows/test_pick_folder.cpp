// The folder dialog: its tree over every store of a real profile, OK and
// Cancel through the modal dialog, failures of the session, and the test hook;
// the input and destination folder pickers that use it: picking from a real
// profile, refusing folders of another kind, Clear, restore, and the settings
// file; and the contact folder list when there is no profile.

#include "Folder_Test_Profile.h"
#include "config/Contact_Folder_List.h"
#include "config/Registry_Routines.h"
#include "outlook/Outlook_Session.h"
#include "support/Fake_Folder.h"
#include "windows/Database_List.h"
#include "windows/Folder_Picker.h"
#include "windows/Message_Box.h"
#include "windows/frmPickFolder.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <functional>
#include <memory>

using bc::test::Fake_Folder;
using bc::windows::Database_List;
using bc::windows::Folder_Picker;
using bc::windows::frmPickFolder;
using bc::windows::Message_Box;

namespace {

// A session whose stores fail on demand.
class Fake_Session : public bc::outlook::Name_Space
{
public:
    std::vector<std::shared_ptr<bc::outlook::Mapi_Folder>> stores;
    bool failing = false;

    std::shared_ptr<bc::outlook::Mapi_Folder> GetFolderFromID(const QString&, const QString&) override
    {
        return nullptr;
    }
    std::shared_ptr<bc::outlook::Outlook_Item> GetItemFromID(const QString&, const QString&) override
    {
        return nullptr;
    }
    std::shared_ptr<bc::outlook::Mapi_Folder> GetDefaultFolder(int) override { return nullptr; }
    std::shared_ptr<bc::outlook::Recipient> CurrentUser() override { return nullptr; }
    std::shared_ptr<bc::outlook::Mapi_Folder> GetSharedDefaultFolder(bc::outlook::Recipient&, int) override
    {
        return nullptr;
    }
    std::vector<std::shared_ptr<bc::outlook::Mapi_Folder>> Stores() override
    {
        if (failing)
            throw bc::outlook::Outlook_Error(QStringLiteral("The profile is unreadable."));
        return stores;
    }
};

QTreeWidgetItem* Child_Named(QTreeWidgetItem* parent, const QString& name)
{
    for (int i = 0; i < parent->childCount(); ++i)
        if (parent->child(i)->text(0) == name)
            return parent->child(i);
    return nullptr;
}

QStringList Child_Names(QTreeWidgetItem* parent)
{
    QStringList names;
    for (int i = 0; i < parent->childCount(); ++i)
        names << parent->child(i)->text(0);
    names.sort();
    return names;
}

// Runs `act` on the modal folder dialog once it is up.
void When_Dialog_Opens(std::function<void(frmPickFolder&)> act)
{
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<frmPickFolder*>(QApplication::activeModalWidget());
        if (dialog)
            act(*dialog);
    });
}

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

class Test_Pick_Folder : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<bc::test::Temp_Home> home_;
    std::shared_ptr<bc::outlook::Name_Space> session_;
    std::unique_ptr<QWidget> window_;
    Database_List* list_ = nullptr;

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
        frmPickFolder::clearNextAnswers();
        bc::windows::Message_Box::clearShown();
        QVERIFY(bc::outlook::Start_Outlook());
        session_ = bc::outlook::Session().Outlook_Namespace;
        QVERIFY(session_);
        bc::Folders().Contact_Folder_List.clear();
        window_ = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window_.get());
        list_ = new Database_List(window_.get());
        layout->addWidget(list_);
        window_->resize(600, 300);
        window_->show();
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }

    void cleanup()
    {
        window_.reset();
        session_.reset();
        home_.reset();
    }

    void treeShowsEveryStoreAndItsFolders()
    {
        frmPickFolder dialog(*session_);
        QTreeWidget* tree = dialog.findChild<QTreeWidget*>(QStringLiteral("FolderTree"));
        QVERIFY(tree);
        QCOMPARE(tree->topLevelItemCount(), 2);
        QTreeWidgetItem* personal = tree->topLevelItem(0); // the default store first
        QCOMPARE(personal->text(0), QStringLiteral("Personal Folders"));
        QCOMPARE(tree->topLevelItem(1)->text(0), QStringLiteral("Shared Store"));
        QVERIFY(personal->isExpanded());
        QVERIFY(Child_Names(personal).contains(QStringLiteral("Inbox")));
        QVERIFY(Child_Names(personal).contains(QStringLiteral("Work Contacts")));
        QVERIFY(Child_Names(personal).contains(QStringLiteral("Tasks")));
        QCOMPARE(Child_Names(tree->topLevelItem(1)), QStringList({"Inbox", "Team"}));

        // Nested folders are there below their parent.
        QTreeWidgetItem* archive = Child_Named(personal, QStringLiteral("Archive"));
        QVERIFY(archive);
        QCOMPARE(Child_Names(archive), QStringList({"Old Contacts"}));
        archive->setExpanded(true);
        QTreeWidgetItem* old = Child_Named(archive, QStringLiteral("Old Contacts"));
        tree->setCurrentItem(old);
        const frmPickFolder::Folder chosen = dialog.Selected_Folder();
        QVERIFY(chosen);
        QCOMPARE(chosen->Name(), QStringLiteral("Old Contacts"));
        QCOMPARE(chosen->EntryID(), bc::test::Folder_Entry_ID(QStringLiteral("Archive/Old Contacts")));
        QCOMPARE(chosen->DefaultMessageClass(), QStringLiteral("IPM.Contact"));

        tree->clearSelection();
        QVERIFY(!dialog.Selected_Folder());
        QVERIFY(!dialog.findChild<QPushButton*>(QStringLiteral("PickFolderOK"))->isEnabled());
    }

    void askedForAKindItOpensOnTheChosenFolderAndGreysTheOthers_data()
    {
        QTest::addColumn<QString>("messageClass");
        QTest::addColumn<QString>("entryPath");
        QTest::addColumn<QString>("storeId");
        QTest::addColumn<QString>("opensOn"); // store/folder
        const QString personal = bc::test::kPersonalStoreId;
        QTest::newRow("the chosen one, nested")
            << "IPM.Contact"
            << "Archive/Old Contacts" << personal << "Personal Folders/Old Contacts";
        QTest::newRow("none chosen: the first of its kind") << "IPM.Contact"
                                                            << ""
                                                            << ""
                                                            << "Personal Folders/Contacts";
        QTest::newRow("chosen one gone: the Inbox") << "IPM.Note"
                                                    << "Nowhere" << personal << "Personal Folders/Inbox";
        QTest::newRow("in the second store")
            << "IPM.Note"
            << "Inbox" << QString(bc::test::kSharedStoreId) << "Shared Store/Inbox";
    }

    void askedForAKindItOpensOnTheChosenFolderAndGreysTheOthers()
    {
        QFETCH(QString, messageClass);
        QFETCH(QString, entryPath);
        QFETCH(QString, storeId);
        QFETCH(QString, opensOn);
        frmPickFolder::Request request;
        request.Title = QStringLiteral("Select Some Folder");
        request.Message_Class = messageClass;
        request.Entry_ID = entryPath.isEmpty() ? QString() : bc::test::Folder_Entry_ID(entryPath);
        request.Store_ID = storeId;
        request.Default_Kind = messageClass == QLatin1String("IPM.Note") ? bc::outlook::olFolderInbox : 0;
        frmPickFolder dialog(*session_, request);
        QCOMPARE(dialog.windowTitle(), request.Title);

        const QList<QTreeWidgetItem*> selected = dialog.Tree()->selectedItems();
        QCOMPARE(selected.size(), 1);
        QTreeWidgetItem* store = selected.first();
        while (store->parent())
            store = store->parent();
        QCOMPARE(store->text(0) + QLatin1Char('/') + selected.first()->text(0), opensOn);
        for (QTreeWidgetItem* above = selected.first()->parent(); above; above = above->parent())
            QVERIFY(above->isExpanded());
        QVERIFY(dialog.findChild<QPushButton*>(QStringLiteral("PickFolderOK"))->isEnabled());

        // Every folder shows its kind; those of another kind cannot be chosen.
        QTreeWidgetItem* personal = dialog.Tree()->topLevelItem(0);
        for (const char* name : {"Inbox", "Contacts", "Tasks"}) {
            QTreeWidgetItem* row = Child_Named(personal, QLatin1String(name));
            const bool right = row->toolTip(0) == (messageClass == QLatin1String("IPM.Note")
                                                       ? QStringLiteral("Mail folder")
                                                       : QStringLiteral("Contact folder"));
            QVERIFY2(!row->icon(0).isNull() && !row->toolTip(0).isEmpty(), name);
            QCOMPARE(bool(row->flags() & Qt::ItemIsSelectable), right);
            dialog.Tree()->setCurrentItem(row);
            QCOMPARE(dialog.Selected_Folder() && dialog.Selected_Folder()->Name() == QLatin1String(name),
                     right);
        }
        if (messageClass == QLatin1String("IPM.Contact")) // a store's top folder holds mail
            QVERIFY(!(personal->flags() & Qt::ItemIsSelectable));
    }

    void okReturnsTheChosenFolderCancelNoneAndTheHookAnswersInOrder()
    {
        When_Dialog_Opens([](frmPickFolder& dialog) {
            QTreeWidgetItem* shared = dialog.Tree()->topLevelItem(1);
            dialog.Tree()->setCurrentItem(Child_Named(shared, QStringLiteral("Team")));
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("PickFolderOK")), Qt::LeftButton);
        });
        const frmPickFolder::Folder picked = frmPickFolder::PickFolder(*session_);
        QVERIFY(picked);
        QCOMPARE(picked->Name(), QStringLiteral("Team"));
        QCOMPARE(picked->StoreID(), bc::test::kSharedStoreId);

        When_Dialog_Opens([](frmPickFolder& dialog) {
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("PickFolderCancel")),
                              Qt::LeftButton);
        });
        QVERIFY(!frmPickFolder::PickFolder(*session_));

        When_Dialog_Opens([](frmPickFolder& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); });
        QVERIFY(!frmPickFolder::PickFolder(*session_));

        // The test hook's answers come in order; once they are used up the
        // dialog itself comes back.
        frmPickFolder::setNextAnswer(
            frmPickFolder::Folder_At(QStringLiteral("Personal Folders/Work Contacts")));
        frmPickFolder::setNextAnswer([](bc::outlook::Name_Space&) { return frmPickFolder::Folder(); });
        frmPickFolder::setNextAnswer(
            frmPickFolder::Folder_At(QStringLiteral("Personal Folders/Archive/Old Contacts")));
        frmPickFolder::setNextAnswer(frmPickFolder::Folder_At(QStringLiteral("Personal Folders/Nowhere")));
        frmPickFolder::setNextAnswer(frmPickFolder::Folder_At(QStringLiteral("No Such Store")));

        QCOMPARE(frmPickFolder::PickFolder(*session_)->Name(), QStringLiteral("Work Contacts"));
        QVERIFY(!frmPickFolder::PickFolder(*session_));
        QCOMPARE(frmPickFolder::PickFolder(*session_)->Name(), QStringLiteral("Old Contacts"));
        QVERIFY(!frmPickFolder::PickFolder(*session_));
        QVERIFY(!frmPickFolder::PickFolder(*session_));

        bool shown = false;
        When_Dialog_Opens([&shown](frmPickFolder& dialog) {
            shown = true;
            dialog.reject();
        });
        QVERIFY(!frmPickFolder::PickFolder(*session_));
        QVERIFY(shown);
    }

    void sessionFailures()
    {
        Fake_Session broken;
        broken.failing = true;
        QVERIFY_THROWS_EXCEPTION(bc::outlook::Outlook_Error, frmPickFolder::PickFolder(broken));

        // A folder whose subfolders cannot be read is offered without them.
        Fake_Session partly;
        auto bad = std::make_shared<Fake_Folder>(QStringLiteral("Locked"));
        bad->childrenFail = true;
        auto brokenStore = std::make_shared<Fake_Folder>(QStringLiteral("Broken Store"));
        brokenStore->childrenFail = true;
        partly.stores = {
            std::make_shared<Fake_Folder>(QStringLiteral("Store"),
                                          std::vector<std::shared_ptr<bc::outlook::Mapi_Folder>>{
                                              bad, std::make_shared<Fake_Folder>(QStringLiteral("Fine"))}),
            brokenStore};
        frmPickFolder dialog(partly);
        QCOMPARE(dialog.Tree()->topLevelItemCount(), 2);
        QCOMPARE(Child_Names(dialog.Tree()->topLevelItem(0)), QStringList({"Fine", "Locked"}));
        QCOMPARE(dialog.Tree()->topLevelItem(1)->childCount(), 0);
        QTreeWidgetItem* locked = Child_Named(dialog.Tree()->topLevelItem(0), QStringLiteral("Locked"));
        locked->setExpanded(true);
        QCOMPARE(locked->childCount(), 0);
        dialog.Tree()->setCurrentItem(locked);
        QCOMPARE(dialog.Selected_Folder(), std::shared_ptr<bc::outlook::Mapi_Folder>(bad));
        QCOMPARE(bc::windows::Message_Box::shown(), QStringList());

        Fake_Session empty;
        frmPickFolder emptyDialog(empty);
        QCOMPARE(emptyDialog.Tree()->topLevelItemCount(), 0);
        QVERIFY(!emptyDialog.Selected_Folder());
        QVERIFY(!emptyDialog.findChild<QPushButton*>(QStringLiteral("PickFolderOK"))->isEnabled());
    }

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

        // Picking again opens on the folder chosen before; Cancel changes nothing.
        const QByteArray before = Settings_File();
        frmPickFolder::setNextAnswer([](bc::outlook::Name_Space&) { return frmPickFolder::Folder(); });
        input.Pick_Folder();
        QCOMPARE(frmPickFolder::Last_Request().Entry_ID, bc::test::Folder_Entry_ID("Bounces"));
        QCOMPARE(frmPickFolder::Last_Request().Store_ID, bc::test::kPersonalStoreId);
        QCOMPARE(Message_Box::shown(), QStringList());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(input.Text_Box()->text(), QStringLiteral("Bounces"));
        QCOMPARE(Settings_File(), before);
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

    void withoutAProfileThePickerAndTheListStop()
    {
        // A profile path below a plain file can be neither read nor created.
        const QString blocker = home_->Write(QStringLiteral("blocker"), "x");
        qputenv("BRINDLECAST_PROFILE", (blocker + QStringLiteral("/profile")).toLocal8Bit());
        Folder_Picker input(Folder_Picker::Input);
        frmPickFolder::setNextAnswer(frmPickFolder::Folder_At(QStringLiteral("Personal Folders/Inbox")));
        input.Pick_Folder();
        QVERIFY(!Message_Box::shown().isEmpty());
        QCOMPARE(Message_Box::shown().last(), QStringLiteral("Error starting outlook. Exiting..."));
        QCOMPARE(Input_Settings(), Stored());
        // Adding a contact folder stops the same way.
        Message_Box::clearShown();
        list_->Add_Contact_Folder();
        QVERIFY(!Message_Box::shown().isEmpty());
        QCOMPARE(Message_Box::shown().last(), QStringLiteral("Error starting outlook. Exiting..."));
        QCOMPARE(bc::Folders().Contact_Folder_Count(), 0);
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

QTEST_MAIN(Test_Pick_Folder)
#include "test_pick_folder.moc"
