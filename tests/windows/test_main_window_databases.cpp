// The contact folder list and the two folder pickers inside the real main
// window, across a close and a new start on the same temporary home.

#include "Folder_Test_Profile.h"
#include "Main_Window_Support.h"
#include "config/Contact_Folder_List.h"
#include "windows/Database_List.h"
#include "windows/frmPickFolder.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include <memory>

using bc::windows::Database_List;
using bc::windows::frmMain;
using bc::windows::frmPickFolder;
using bc::windows::Message_Box;

namespace {

struct Row_Seen
{
    QString folder, path, key, entry, store;
};

// Every row with the record its key names.
QList<Row_Seen> Rows_With_Records(const Database_List& list)
{
    QList<Row_Seen> seen;
    const auto& records = bc::Folders().Contact_Folder_List;
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = list.topLevelItem(i);
        const int index = Database_List::Record_Index(row);
        Row_Seen s{row->text(1), row->text(2), row->data(0, Database_List::kKeyRole).toString(), {}, {}};
        if (index >= 0 && index < static_cast<int>(records.size())) {
            const auto& r = records[static_cast<size_t>(index)];
            if (r.Folder_Name == s.folder && r.Folder_Path == s.path) {
                s.entry = r.Entry_ID;
                s.store = r.Store_ID;
            }
        }
        seen << s;
    }
    return seen;
}

QTreeWidgetItem* Row_Named(const Database_List& list, const QString& name)
{
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        if (list.topLevelItem(i)->text(1) == name)
            return list.topLevelItem(i);
    return nullptr;
}

} // namespace

class Test_Main_Window_Databases : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<bc::test::Temp_Home> home_;
    std::unique_ptr<frmMain> window_;

    void Start()
    {
        Message_Box::clearShown();
        window_ = std::make_unique<frmMain>();
        QVERIFY(window_->Load(QString()));
        QCOMPARE(Message_Box::shown(), QStringList());
    }

    void Close_Window()
    {
        window_->close();
        QVERIFY(window_->Is_Unloaded());
        window_.reset();
    }

    QString Data_File() const { return home_->Data_Folder() + bc::kContactFolderFile; }

private Q_SLOTS:
    void initTestCase()
    {
        bc::windows::Install_Message_Boxes();
        Message_Box::setUnattended(true);
    }

    void init()
    {
        home_ = std::make_unique<bc::test::Temp_Home>();
        bc::test::Make_Folder_Test_Profile(*home_);
        frmPickFolder::clearNextAnswers();
    }

    void cleanup()
    {
        window_.reset();
        home_.reset();
    }

    void listComesBackAfterARestart()
    {
        Start();
        Database_List* list = bc::test::Find<Database_List>(window_.get(), "ListDatabases");
        QVERIFY(list);
        QCOMPARE(list->topLevelItemCount(), 0);

        frmPickFolder::setNextAnswer(frmPickFolder::Folder_At(QStringLiteral("Personal Folders/Contacts")));
        bc::test::Click(bc::test::Find<QPushButton>(window_.get(), "AddDatabase"));
        frmPickFolder::setNextAnswer(frmPickFolder::Folder_At(QStringLiteral("Shared Store/Team")));
        list->Popup_Menu()->findChild<QAction*>(QStringLiteral("mnuDatabaseAdd"))->trigger();
        frmPickFolder::setNextAnswer(
            frmPickFolder::Folder_At(QStringLiteral("Personal Folders/Archive/Old Contacts")));
        bc::test::Click(bc::test::Find<QPushButton>(window_.get(), "AddDatabase"));
        // A mail folder is refused and adds nothing.
        frmPickFolder::setNextAnswer(frmPickFolder::Folder_At(QStringLiteral("Personal Folders/Inbox")));
        bc::test::Click(bc::test::Find<QPushButton>(window_.get(), "AddDatabase"));
        QCOMPARE(Message_Box::shown(), QStringList({QStringLiteral("Choose a contact Folder Store")}));
        QCOMPARE(list->topLevelItemCount(), 3);

        // Remove the first one added: the two others are renumbered.
        Row_Named(*list, QStringLiteral("Contacts"))->setSelected(true);
        Message_Box::setNextAnswer(QMessageBox::Yes);
        bc::test::Click(bc::test::Find<QPushButton>(window_.get(), "RemoveThisDatabase"));
        QCOMPARE(list->topLevelItemCount(), 2);
        Close_Window();
        QVERIFY(QFile::exists(Data_File()));

        Start();
        list = bc::test::Find<Database_List>(window_.get(), "ListDatabases");
        const QList<Row_Seen> rows = Rows_With_Records(*list);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].folder, QStringLiteral("Old Contacts"));
        QCOMPARE(rows[0].path, QStringLiteral("Personal Folders->Archive"));
        QCOMPARE(rows[0].key, QStringLiteral("key1"));
        QCOMPARE(rows[0].entry, bc::test::Folder_Entry_ID(QStringLiteral("Archive/Old Contacts")));
        QCOMPARE(rows[0].store, bc::test::kPersonalStoreId);
        QCOMPARE(rows[1].folder, QStringLiteral("Team"));
        QCOMPARE(rows[1].path, QStringLiteral("Shared Store"));
        QCOMPARE(rows[1].key, QStringLiteral("key0"));
        QCOMPARE(rows[1].entry, bc::test::Folder_Entry_ID(QStringLiteral("Team")));
        QCOMPARE(rows[1].store, bc::test::kSharedStoreId);
        QCOMPARE(list->Current_Row(), list->topLevelItem(0));
    }

    void removingEveryFolderDeletesTheFile()
    {
        Start();
        auto* list = bc::test::Find<Database_List>(window_.get(), "ListDatabases");
        for (const char* path : {"Personal Folders/Contacts", "Personal Folders/Work Contacts"}) {
            frmPickFolder::setNextAnswer(frmPickFolder::Folder_At(QString::fromLatin1(path)));
            list->Add_Contact_Folder();
        }
        Close_Window();
        QVERIFY(QFile::exists(Data_File()));

        Start();
        list = bc::test::Find<Database_List>(window_.get(), "ListDatabases");
        QCOMPARE(list->topLevelItemCount(), 2);
        // Ctrl+A, then remove: the current row goes too, so "Selected" refuses.
        QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
        Message_Box::setNextAnswer(QMessageBox::Yes);
        list->Remove_Action()->trigger();
        QCOMPARE(list->topLevelItemCount(), 0);
        Message_Box::clearShown();
        bc::test::Click(bc::test::Find<QPushButton>(window_.get(), "ProcessCurrent"));
        QCOMPARE(Message_Box::shown(),
                 QStringList({QStringLiteral("No database has been selected! Select a database first.")}));
        Close_Window();
        QVERIFY(!QFile::exists(Data_File()));

        Start();
        QCOMPARE(bc::test::Find<Database_List>(window_.get(), "ListDatabases")->topLevelItemCount(), 0);
    }

    void pickersStoreTheirFoldersAndRefuseOtherKinds()
    {
        Start();
        bc::test::Click_Tab(window_.get(), QStringLiteral("Input Folder"));
        frmPickFolder::setNextAnswer(frmPickFolder::Folder_At(QStringLiteral("Personal Folders/Bounces")));
        bc::test::Click(bc::test::Find<QPushButton>(window_.get(), "PickTheInboxFolder"));
        QCOMPARE(bc::test::Find<QLineEdit>(window_.get(), "txtInboxFolder")->text(),
                 QStringLiteral("Bounces"));
        frmPickFolder::setNextAnswer(frmPickFolder::Folder_At(QStringLiteral("Personal Folders/Contacts")));
        bc::test::Click(bc::test::Find<QPushButton>(window_.get(), "PickTheInboxFolder"));
        QCOMPARE(Message_Box::shown(), QStringList({QStringLiteral("Choose an E-mail Folder Store")}));

        bc::test::Click_Tab(window_.get(), QStringLiteral("Email Actions"));
        auto* pickDest = bc::test::Find<QPushButton>(window_.get(), "PickDestFolder");
        // The disposal choice enables the destination picker for "move" only.
        bc::test::Click_Box(bc::test::Box(window_.get(), "chkOutlookLeaveMessage"));
        QVERIFY(!pickDest->isEnabled());
        QVERIFY(!bc::test::Find<QLineEdit>(window_.get(), "txtOutlookDestinationFolder")->isEnabled());
        bc::test::Click_Box(bc::test::Box(window_.get(), "chkOutlookMoveMessage"));
        QVERIFY(pickDest->isEnabled());
        frmPickFolder::setNextAnswer(frmPickFolder::Folder_At(QStringLiteral("Shared Store/Inbox")));
        bc::test::Click(pickDest);
        frmPickFolder::setNextAnswer(frmPickFolder::Folder_At(QStringLiteral("Shared Store/Team")));
        bc::test::Click(pickDest);
        QCOMPARE(Message_Box::shown().last(), QStringLiteral("Choose an E-mail Folder Store"));

        const QByteArray file = home_->Read(home_->Registry_File());
        QVERIFY(file.contains("\"Email_Inbox_Folder\"=\"Bounces\""));
        QCOMPARE(bc::Get_Setting(bc::Email_Inbox_Entry_ID),
                 bc::test::Folder_Entry_ID(QStringLiteral("Bounces")));
        QCOMPARE(bc::Get_Setting(bc::Email_Inbox_StoreID), bc::test::kPersonalStoreId);
        QCOMPARE(bc::Get_Setting(bc::Email_Destination_Folder), QStringLiteral("Inbox"));
        QCOMPARE(bc::Get_Setting(bc::Email_Destination_EntryID),
                 bc::test::Folder_Entry_ID(QStringLiteral("Inbox")));
        QCOMPARE(bc::Get_Setting(bc::Email_Destination_StoreID), bc::test::kSharedStoreId);
        Close_Window();

        Start();
        QCOMPARE(bc::test::Find<QLineEdit>(window_.get(), "txtInboxFolder")->text(),
                 QStringLiteral("Bounces"));
        QCOMPARE(bc::test::Find<QLineEdit>(window_.get(), "txtOutlookDestinationFolder")->text(),
                 QStringLiteral("Inbox"));
        bc::test::Click_Tab(window_.get(), QStringLiteral("Input Folder"));
        bc::test::Click(bc::test::Find<QPushButton>(window_.get(), "ClearInboxFolder"));
        QCOMPARE(bc::test::Find<QLineEdit>(window_.get(), "txtInboxFolder")->text(), QString());
        QCOMPARE(bc::Get_Setting(bc::Email_Inbox_Folder), QString());
        QCOMPARE(bc::Get_Setting(bc::Email_Inbox_Entry_ID), QString());
        QCOMPARE(bc::Get_Setting(bc::Email_Inbox_StoreID), QString());
        QCOMPARE(bc::Get_Setting(bc::Email_Destination_Folder), QStringLiteral("Inbox"));
    }
};

QTEST_MAIN(Test_Main_Window_Databases)
#include "test_main_window_databases.moc"
