// The bounced contact manager on a temporary profile with two databases:
// what it lists for the main window's field and value, the recorded actions
// and "Update", the close question, and contacts as other programs write them,
// unchanged afterwards but for what the manager changed.

#include "Main_Window_Support.h"
#include "engine/Engine_Test_Profile.h"
#include "engine/Run.h"
#include "windows/frmManageContacts.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <memory>

using bc::test::Find;
using bc::test::Read_File;
using bc::windows::frmManageContacts;
using bc::windows::Message_Box;

namespace {

const QByteArray kUserMark = "X-BRINDLECAST-USERPROP;X-NAME=Bounce%20Status:Returned Email\r\n";
const QByteArray kUser1Mark = "X-OUTLOOK-USER1:Returned Email\r\n";
const char* const kLongAddress = "accounts.receivable.department@long-subsidiary-name.example.com";
const QString kDeleteDone =
    QStringLiteral("Contact Delete Action Suceeded!\r\nContact will only be removed from "
                   "folder when the update button is pressed.");
const QString kUpdateDone = QStringLiteral("Update of Database(s) Finished.");
const QString kCloseQuestion = QStringLiteral("Do you want to update your databases?");

QByteArray Card(const QByteArray& name, const QByteArray& email, const QByteArray& extra)
{
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + name.toLower().replace(' ', '-') + "\r\nFN:" + name +
           "\r\nEMAIL;TYPE=INTERNET:" + email + "\r\n" + extra + "END:VCARD\r\n";
}

// "email|name|folder" of every row in display order.
QStringList Shown(const frmManageContacts& window)
{
    QStringList out;
    const QTreeWidget* list = window.ListContacts();
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = list->topLevelItem(i);
        out << row->text(0) + '|' + row->text(1) + '|' + row->text(2);
    }
    return out;
}

QTreeWidgetItem* Row_Named(const frmManageContacts& window, const QString& name, const QString& folder)
{
    const QTreeWidget* list = window.ListContacts();
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->text(1) == name && list->topLevelItem(i)->text(2) == folder)
            return list->topLevelItem(i);
    return nullptr;
}

void Select_Only(const frmManageContacts& window, QTreeWidgetItem* row)
{
    window.ListContacts()->clearSelection();
    row->setSelected(true);
}

void Trigger(const frmManageContacts& window, const char* action)
{
    Find<QAction>(&window, action)->trigger();
}

} // namespace

class Test_Manage_Contacts : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<bc::test::Engine_Profile> profile_;
    bc::test::Fixed_Choices choices_;
    QString anna_, bob_, carl_, team_anna_;

    // "Contacts": Anna and Bob marked by a user property, Carl by User1 and
    // Dora not at all; "Team": another Anna, marked, in a file of the same name.
    void Make_Profile()
    {
        profile_ = std::make_unique<bc::test::Engine_Profile>();
        bc::windows::Install_Message_Boxes();
        Message_Box::clearShown();
        choices_.field = QStringLiteral("Bounce Status");
        choices_.value = QStringLiteral("Returned Email");
        const auto add = [this](const QString& folder, const char* file, const QByteArray& card) {
            const QString path = profile_->Folder(folder) + QLatin1Char('/') + QLatin1String(file);
            profile_->Write_File(path, card);
            return path;
        };
        const QString contacts = QStringLiteral("Contacts");
        anna_ = add(contacts, "a.vcf", Card("Anna Adams", "anna@example.com", kUserMark));
        bob_ = add(contacts, "b.vcf", Card("Bob Baker", "bob@example.com", kUserMark));
        carl_ = add(contacts, "c.vcf", Card("Carl Cole", "carl@example.com", kUser1Mark));
        add(contacts, "d.vcf", Card("Dora Dunn", "dora@example.com", {}));
        team_anna_ = add(QStringLiteral("Team"), "a.vcf", Card("Anna Adams", "anna@team.example", kUserMark));
        profile_->Add_Database(QStringLiteral("Contacts"), contacts);
        profile_->Add_Database(QStringLiteral("Team"), QStringLiteral("Team"));
    }

    frmManageContacts& Open() { return frmManageContacts::Open(choices_); }

private Q_SLOTS:
    void initTestCase()
    {
        // A box that a test did not expect is recorded and answered at once.
        Message_Box::setUnattended(true);
    }

    void cleanup()
    {
        if (frmManageContacts* window = frmManageContacts::Loaded())
            window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!frmManageContacts::Loaded());
        profile_.reset();
    }

    void lists_the_contacts_whose_field_holds_the_value_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("user property, across both databases")
            << "Bounce Status"
            << "Returned Email"
            << QStringList({"anna@example.com|Anna Adams|Contacts", "bob@example.com|Bob Baker|Contacts",
                            "anna@team.example|Anna Adams|Team"});
        QTest::newRow("standard field")
            << "User1"
            << "Returned Email" << QStringList({"carl@example.com|Carl Cole|Contacts"});
        QTest::newRow("exact text only") << "Bounce Status"
                                         << "returned email" << QStringList();
        QTest::newRow("empty value box")
            << "Bounce Status"
            << "" << QStringList({QString(kLongAddress) + "|Eve Empty|Contacts"});
        QTest::newRow("<None>") << "<None>"
                                << "Returned Email" << QStringList();
        QTest::newRow("a filter the folder cannot read") << "Bounce]Status"
                                                         << "x" << QStringList();
    }
    void lists_the_contacts_whose_field_holds_the_value()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QStringList, rows);
        Make_Profile();
        profile_->Write_File(
            profile_->Folder(QStringLiteral("Contacts/e.vcf")),
            Card("Eve Empty", kLongAddress, "X-BRINDLECAST-USERPROP;X-NAME=Bounce%20Status:\r\n"));
        choices_.field = field;
        choices_.value = value;
        frmManageContacts& window = Open();
        QVERIFY(window.isVisible());
        QCOMPARE(window.windowTitle(), QStringLiteral("Manage Contacts"));
        QCOMPARE(Shown(window), rows);
        QCOMPARE(Message_Box::shown(), QStringList()); // nothing listed is not an error
        QCOMPARE(Find<QLabel>(&window, "Panel1")->text(), QString());
        // Keys run on from the first database's rows into the second's.
        for (int i = 0; i < window.ListContacts()->topLevelItemCount(); ++i) {
            const QString key =
                window.ListContacts()->topLevelItem(i)->data(0, frmManageContacts::kKeyRole).toString();
            const qint32 index = bc::windows::Bounced_Row_Index(key);
            QVERIFY(key.startsWith(QStringLiteral("-:::-")));
            QCOMPARE(window.Rows()[std::size_t(index)].Folder_Index,
                     window.ListContacts()->topLevelItem(i)->text(2) == QLatin1String("Team") ? 1 : 0);
        }
        // No address is cut short.
        for (int i = 0; i < window.ListContacts()->topLevelItemCount(); ++i)
            QVERIFY(window.ListContacts()->columnWidth(0) >
                    window.ListContacts()->fontMetrics().horizontalAdvance(
                        window.ListContacts()->topLevelItem(i)->text(0)));
    }

    // Listed by folder; a header click sorts by its column in the order in
    // use, a second click on it reverses the order.
    void a_header_click_sorts_by_its_column_and_a_second_one_reverses()
    {
        Make_Profile();
        frmManageContacts& window = Open();
        QHeaderView* header = window.ListContacts()->header();
        const auto click = [header](int column) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(column) + 4, header->height() / 2));
        };
        const auto column = [&window](int n) {
            QStringList out;
            for (int i = 0; i < window.ListContacts()->topLevelItemCount(); ++i)
                out << window.ListContacts()->topLevelItem(i)->text(n);
            return out;
        };
        QCOMPARE(column(2), QStringList({"Contacts", "Contacts", "Team"}));
        click(1);
        QCOMPARE(column(1), QStringList({"Anna Adams", "Anna Adams", "Bob Baker"}));
        click(1);
        QCOMPARE(column(1), QStringList({"Bob Baker", "Anna Adams", "Anna Adams"}));
        click(0);
        QCOMPARE(column(0), QStringList({"bob@example.com", "anna@team.example", "anna@example.com"}));
    }

    void a_folder_that_cannot_be_opened_is_reported_and_the_others_still_listed()
    {
        Make_Profile();
        bc::Folders().Contact_Folder_List.front().Entry_ID = bc::outlook::Entry_ID_To_Hex("Gone");
        frmManageContacts& window = Open();
        QCOMPARE(Message_Box::shown(), QStringList{"Could not load contact folder."});
        QCOMPARE(Shown(window), QStringList{"anna@team.example|Anna Adams|Team"});
    }

    void deleting_a_row_of_the_first_database_deletes_that_contact_only()
    {
        Make_Profile();
        frmManageContacts& window = Open();
        Select_Only(window, Row_Named(window, QStringLiteral("Anna Adams"), QStringLiteral("Contacts")));
        Message_Box::setNextAnswer(QMessageBox::Ok);
        Trigger(window, "mnuDeleteSelected");
        QCOMPARE(Shown(window),
                 QStringList({"bob@example.com|Bob Baker|Contacts", "anna@team.example|Anna Adams|Team"}));
        QVERIFY(QFile::exists(anna_)); // only recorded so far
        Message_Box::setNextAnswer(QMessageBox::Ok);
        bc::test::Click(Find<QPushButton>(&window, "Update_My_Databases"));
        QCOMPARE(Message_Box::shown(), QStringList({kDeleteDone, kUpdateDone}));
        QVERIFY(!QFile::exists(anna_));
        QVERIFY(QFile::exists(team_anna_));
        QVERIFY(QFile::exists(bob_));
        // Deleted, not destroyed: it waits in the deleted items.
        QCOMPARE(profile_->Files(QStringLiteral("Deleted Items/Contacts")), QStringList{"a.vcf"});
        QVERIFY(!window.Changes_Pending());
    }

    void the_close_question_decides_whether_recorded_actions_are_applied_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("Close, No") << false << false << false;
        QTest::newRow("Close, Yes") << false << true << true;
        QTest::newRow("close box asks nothing") << true << false << false;
    }
    void the_close_question_decides_whether_recorded_actions_are_applied()
    {
        QFETCH(bool, closeBox);
        QFETCH(bool, yes);
        QFETCH(bool, deleted);
        Make_Profile();
        frmManageContacts& window = Open();
        window.ListContacts()->setFocus();
        Message_Box::setNextAnswer(QMessageBox::Ok);
        Trigger(window, "mnuSelectAll");
        QTest::keyClick(window.ListContacts(), Qt::Key_Delete);
        QCOMPARE(window.ListContacts()->topLevelItemCount(), 0);
        for (const auto& row : window.Rows())
            QCOMPARE(row.Pending_Action, qint32(bc::windows::Delete_Contact));
        QStringList expected{kDeleteDone};
        if (closeBox) {
            window.close();
        } else {
            Message_Box::setNextAnswer(yes ? QMessageBox::Yes : QMessageBox::No);
            if (yes)
                Message_Box::setNextAnswer(QMessageBox::Ok);
            bc::test::Click(Find<QPushButton>(&window, "CloseThis"));
            expected << kCloseQuestion;
            if (yes)
                expected << kUpdateDone;
        }
        QCOMPARE(Message_Box::shown(), expected);
        QVERIFY(!frmManageContacts::Loaded());
        for (const QString& path : {anna_, bob_, team_anna_})
            QCOMPARE(QFile::exists(path), !deleted);
    }

    void a_cleared_address_also_loses_the_mark_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("name");
        QTest::newRow("user property is removed") << "Bounce Status"
                                                  << "Anna Adams";
        QTest::newRow("standard field is emptied") << "User1"
                                                   << "Carl Cole";
    }
    void a_cleared_address_also_loses_the_mark()
    {
        QFETCH(QString, field);
        QFETCH(QString, name);
        Make_Profile();
        choices_.field = field;
        frmManageContacts& window = Open();
        const QString path = name == QLatin1String("Carl Cole") ? carl_ : anna_;
        const QByteArray before = Read_File(path);
        Select_Only(window, Row_Named(window, name, QStringLiteral("Contacts")));
        Message_Box::setNextAnswer(QMessageBox::Ok);
        Trigger(window, "mnuClearEmailAddressOnSelected");
        QCOMPARE(Row_Named(window, name, QStringLiteral("Contacts"))->text(0), QString());
        QCOMPARE(Read_File(path), before);
        Message_Box::setNextAnswer(QMessageBox::Ok);
        QVERIFY(window.Update_Databases());
        const QByteArray after = Read_File(path);
        // Only the address and the mark are gone; every other line is as it was.
        QByteArray expected = before;
        expected.replace(field == QLatin1String("User1") ? kUser1Mark : kUserMark, "");
        expected.replace(
            "EMAIL;TYPE=INTERNET:" +
                (name == QLatin1String("Carl Cole") ? QByteArray("carl@example.com") : "anna@example.com") +
                "\r\n",
            "");
        QCOMPARE(after, expected);
    }

    void an_address_edited_in_place_is_written_at_update_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("answer"); // to the question about an odd address; 0 when none comes
        QTest::addColumn<QString>("written");
        QTest::newRow("an address") << "anna@new.example" << 0 << "anna@new.example";
        QTest::newRow("no @, kept") << "anna at new" << int(QMessageBox::Yes) << "anna at new";
        QTest::newRow("no @, dropped") << "anna at new" << int(QMessageBox::No) << "anna@example.com";
    }
    void an_address_edited_in_place_is_written_at_update()
    {
        QFETCH(QString, typed);
        QFETCH(int, answer);
        QFETCH(QString, written);
        Make_Profile();
        frmManageContacts& window = Open();
        QTreeWidget* list = window.ListContacts();
        QTreeWidgetItem* anna = Row_Named(window, QStringLiteral("Anna Adams"), QStringLiteral("Contacts"));
        // F2 edits the current row's address, whichever row was clicked last.
        list->setCurrentItem(anna, 1);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_F2);
        auto* editor = list->findChild<QLineEdit*>();
        QVERIFY(editor);
        if (answer)
            Message_Box::setNextAnswer(QMessageBox::StandardButton(answer));
        editor->selectAll();
        QTest::keyClicks(editor, typed);
        QTest::keyClick(editor, Qt::Key_Return);
        QTest::qWait(50); // the question comes once the editor has closed
        QCOMPARE(anna->text(0), written);
        QCOMPARE(Message_Box::shown().size(), answer ? 1 : 0);
        Message_Box::setNextAnswer(QMessageBox::Ok);
        QVERIFY(window.Update_Databases());
        const auto contact = profile_->Contact(anna_);
        QVERIFY(contact);
        QCOMPARE(contact->Email_Address(1), written);
        QCOMPARE(contact->UserProperties().Find(choices_.field) == nullptr, written != "anna@example.com");
    }

    void clearing_the_status_asks_first_and_removes_the_mark_at_once_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("Yes") << true;
        QTest::newRow("No") << false;
    }
    void clearing_the_status_asks_first_and_removes_the_mark_at_once()
    {
        QFETCH(bool, yes);
        Make_Profile();
        frmManageContacts& window = Open();
        const QByteArray before = Read_File(bob_);
        Select_Only(window, Row_Named(window, QStringLiteral("Bob Baker"), QStringLiteral("Contacts")));
        Message_Box::setNextAnswer(yes ? QMessageBox::Yes : QMessageBox::No);
        if (yes)
            Message_Box::setNextAnswer(QMessageBox::Ok);
        Trigger(window, "mnuClearStatusField");
        QByteArray expected = before;
        if (yes)
            expected.replace(kUserMark, "");
        QCOMPARE(Read_File(bob_), expected);
        QCOMPARE(Message_Box::shown().size(), yes ? 2 : 1);
        QCOMPARE(window.ListContacts()->topLevelItemCount(), 3); // cleared rows stay listed
        QVERIFY(!window.Changes_Pending());

        // A deletion still waiting keeps the close question after a clearing.
        Select_Only(window, Row_Named(window, QStringLiteral("Anna Adams"), QStringLiteral("Team")));
        Message_Box::setNextAnswer(QMessageBox::Ok);
        window.Delete_Selected_Contacts();
        Select_Only(window, Row_Named(window, QStringLiteral("Bob Baker"), QStringLiteral("Contacts")));
        Message_Box::setNextAnswer(QMessageBox::Yes);
        Message_Box::setNextAnswer(QMessageBox::Ok);
        window.Clear_Status_Of_Selected();
        QVERIFY(window.Changes_Pending());
        QVERIFY(QFile::exists(team_anna_));
    }

    void no_update_while_a_run_is_under_way()
    {
        Make_Profile();
        frmManageContacts& window = Open();
        Select_Only(window, Row_Named(window, QStringLiteral("Bob Baker"), QStringLiteral("Contacts")));
        Message_Box::setNextAnswer(QMessageBox::Ok);
        window.Delete_Selected_Contacts();
        {
            bc::engine::Run_Guard run;
            QVERIFY(run.Acquired());
            QVERIFY(!window.Update_Databases());
        }
        QVERIFY(QFile::exists(bob_));
        QVERIFY(window.Changes_Pending());
        QCOMPARE(
            Message_Box::shown().last(),
            QStringLiteral("A processing run is under way. Update your databases when it has finished."));
    }

    // Opened from the main window, the manager follows the boxes it shows at
    // the time: a field changed there after listing is the mark cleared.
    void the_main_window_opens_it_and_its_boxes_are_read_when_needed()
    {
        Make_Profile();
        QVERIFY(bc::Save_Contact_Folder_List());
        bc::test::Write_Settings(profile_->home, {"\"Contact_Field_To_Set\"=\"Bounce Status\"",
                                                  "\"Contact_Value_To_Set\"=\"Returned Email\""});
        bc::windows::frmMain main;
        QVERIFY(main.Load(QString()));
        main.findChild<QAction*>(QStringLiteral("mnuManageContacts"))->trigger();
        frmManageContacts* window = frmManageContacts::Loaded();
        QVERIFY(window);
        QCOMPARE(window->ListContacts()->topLevelItemCount(), 3);
        // Bob also carries User1: the user changes the field box to it.
        profile_->Write_File(bob_, Card("Bob Baker", "bob@example.com", kUserMark + kUser1Mark));
        Find<QLineEdit>(&main, "txtFieldToBeSet")->setText(QStringLiteral("User1"));
        Select_Only(*window, Row_Named(*window, QStringLiteral("Bob Baker"), QStringLiteral("Contacts")));
        Message_Box::setNextAnswer(QMessageBox::Ok);
        window->Clear_Email_Of_Selected();
        Message_Box::setNextAnswer(QMessageBox::Ok);
        QVERIFY(window->Update_Databases());
        QCOMPARE(Read_File(bob_), Card("Bob Baker", "", kUserMark).replace("EMAIL;TYPE=INTERNET:\r\n", ""));
        main.Unload(); // closes the manager with it
        QVERIFY(!window->isVisible());
    }

    // A contact as other programs write it: after an update, what the manager
    // did not change stays byte for byte, the second address too.
    void a_foreign_contact_keeps_every_byte_the_update_did_not_change()
    {
        Make_Profile();
        const QByteArray rich = "BEGIN:VCARD\r\nVERSION:3.0\r\nPRODID:-//Other//"
                                "EN\r\nUID:rich-1\r\nFN:J\xC3\xBCrgen M\xC3\xBCller\r\n"
                                "N:M\xC3\xBCller;J\xC3\xBCrgen;;;\r\nEMAIL;TYPE=WORK:jm@bounced."
                                "example\r\nEMAIL;TYPE=HOME:jm@home.example\r\n"
                                "TEL;TYPE=CELL:+49 30 1234\r\nNOTE:Met at the fair\\, long ago.\\nReturned "
                                "Email ---------\r\n  still "
                                "folded\r\nX-BRINDLECAST-USERPROP;X-NAME=Other:keep%3B me\r\n" +
                                kUserMark + "PHOTO;ENCODING=b;TYPE=JPEG:AAAA\r\n BBBB\r\nEND:VCARD\r\n";
        const QString path = profile_->Folder(QStringLiteral("Contacts/r.vcf"));
        profile_->Write_File(path, rich);
        frmManageContacts& window = Open();
        Select_Only(window, Row_Named(window, QStringLiteral("Jürgen Müller"), QStringLiteral("Contacts")));
        Message_Box::setNextAnswer(QMessageBox::Ok);
        window.Clear_Email_Of_Selected();
        Message_Box::setNextAnswer(QMessageBox::Ok);
        QVERIFY(window.Update_Databases());

        QByteArray expected = rich;
        expected.replace(kUserMark, "").replace("EMAIL;TYPE=WORK:jm@bounced.example", "EMAIL;TYPE=WORK:");
        QCOMPARE(Read_File(path), expected);
    }
};

QTEST_MAIN(Test_Manage_Contacts)
#include "test_manage_contacts.moc"
