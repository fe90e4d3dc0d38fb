// The manual scan window opened from the real main window on temporary
// profiles: the listing and its stop, the list's keys and commands, reading
// and opening messages, and the manual processing of picked messages.

#include "Main_Window_Support.h"
#include "config/App_State.h"
#include "config/Identifier_Lists.h"
#include "engine/Engine_Test_Profile.h"
#include "windows/Database_List.h"
#include "windows/Message_List.h"
#include "windows/Processing_Entry.h"
#include "windows/frmReadEmail.h"
#include "windows/frmSelectContacts.h"
#include "windows/frmStatusAnalysis.h"

#include <QAction>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextEdit>
#include <QTreeView>

#include <memory>

using bc::test::Click;
using bc::test::Find;
using bc::windows::frmMain;
using bc::windows::frmReadEmail;
using bc::windows::frmSelectContacts;
using bc::windows::Message_Box;
using bc::windows::Message_List_Model;

namespace {

const QString kBounce = QStringLiteral("Undelivered Mail Returned to Sender");
const QString kNotSelected =
    QStringLiteral("No email has been selected. Click on the list to select it first.");

QString Body(int n)
{
    return QStringLiteral("Message %1 for <user%1@example.org>\r\n").arg(n);
}

// Connects `slot` to the status line of the window that opens next, before
// its listing starts.
class On_Window_Shown : public QObject
{
public:
    explicit On_Window_Shown(std::function<void(QLineEdit*)> slot) : slot_(std::move(slot))
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::Show && object->objectName() == QLatin1String("frmSelectContacts")) {
            qApp->removeEventFilter(this);
            slot_(object->findChild<QLineEdit*>(QStringLiteral("txtStatus")));
        }
        return false;
    }

private:
    std::function<void(QLineEdit*)> slot_;
};

} // namespace

class Test_Manual_Scan_Window : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<bc::test::Engine_Profile> profile_;
    std::unique_ptr<frmMain> main_;

    void New_Profile()
    {
        profile_ = std::make_unique<bc::test::Engine_Profile>();
        bc::windows::Install_Message_Boxes();
        New_Profile_Boxes();
    }

    // Every box is answered OK; the tests check which ones came up.
    void New_Profile_Boxes()
    {
        Message_Box::clearShown();
        for (int i = 0; i < 8; ++i)
            Message_Box::setNextAnswer(QMessageBox::Ok);
    }

    // `count` ordinary messages, those numbered in `returned` with a bounce
    // subject instead.
    void Add_Messages(int count, const QList<int>& returned = {})
    {
        for (int n = 0; n < count; ++n)
            profile_->Add_Message(returned.contains(n) ? kBounce : QStringLiteral("Note %1").arg(n), Body(n));
    }

    // The main window on the profile, then its "Manual" button.
    frmSelectContacts* Open()
    {
        if (bc::Folders().Contact_Folder_List.empty())
            profile_->Add_Database(QStringLiteral("Contacts"));
        if (!main_) {
            bc::Save_Contact_Folder_List();
            main_ = std::make_unique<frmMain>();
            bc::windows::Install_Processing(*main_);
            main_->Load(QString());
        }
        Click(Find<QPushButton>(main_.get(), "Scan_Selective"));
        return frmSelectContacts::Loaded();
    }

    QTreeView* List() const { return Find<QTreeView>(frmSelectContacts::Loaded(), "ListContacts"); }
    Message_List_Model* Model() const { return qobject_cast<Message_List_Model*>(List()->model()); }
    QString Status() const { return Find<QLineEdit>(frmSelectContacts::Loaded(), "txtStatus")->text(); }
    QString Shown_Text() const
    {
        return Find<QTextEdit>(frmSelectContacts::Loaded(), "txtMessageBox")->toPlainText();
    }
    QStringList Column(int column) const
    {
        QStringList texts;
        for (int row = 0; row < Model()->rowCount(); ++row)
            texts << Model()->index(row, column).data().toString();
        return texts;
    }
    void Click_Row(int row, Qt::KeyboardModifiers modifiers = {}, Qt::MouseButton button = Qt::LeftButton)
    {
        const QModelIndex index = Model()->index(row, Message_List_Model::Column_Subject);
        List()->scrollTo(index);
        const QRect area = List()->visualRect(index);
        QTest::mouseClick(List()->viewport(), button, modifiers, area.center());
    }
    void Menu(const char* name) { Find<QAction>(frmSelectContacts::Loaded(), name)->trigger(); }
    void Button(const char* name) { Click(Find<QPushButton>(frmSelectContacts::Loaded(), name)); }

private Q_SLOTS:
    void cleanup()
    {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (qobject_cast<frmReadEmail*>(window) || qobject_cast<bc::windows::frmStatusAnalysis*>(window))
                window->close();
        main_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        profile_.reset();
        frmReadEmail::setUrlOpener({});
    }

    void listing_puts_the_returned_messages_first_in_bold_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<int>>("returned");
        QTest::newRow("empty folder") << 0 << QList<int>();
        QTest::newRow("none returned of 5") << 5 << QList<int>();
        QTest::newRow("3 returned of 120") << 120 << QList<int>{10, 50, 100};
    }
    void listing_puts_the_returned_messages_first_in_bold()
    {
        QFETCH(int, count);
        QFETCH(QList<int>, returned);
        New_Profile();
        Add_Messages(count, returned);
        frmSelectContacts* window = Open();
        QVERIFY(window && window->isVisible());
        QCOMPARE(Model()->rowCount(), count);
        QCOMPARE(Status(), QStringLiteral("%1 Emails").arg(count));
        QVERIFY(List()->isVisible());
        QVERIFY(!Find<QWidget>(window, "ListContacts1")->isVisible());
        QCOMPARE(Find<QPushButton>(window, "CancelConvert")->text(), QStringLiteral("&Close"));
        for (int row = 0; row < count; ++row) {
            const bool isReturned = row < returned.size();
            QCOMPARE(Model()->index(row, 2).data().toString(),
                     isReturned ? QStringLiteral("Y") : QStringLiteral("N"));
            QCOMPARE(Model()->index(row, 3).data(Qt::FontRole).value<QFont>().bold(), isReturned);
            if (isReturned) // in listing order, keyed by their place in the folder
                QCOMPARE(Model()->index(row, 0).data(Message_List_Model::kKeyRole).toString(),
                         QStringLiteral("-:::-%1-:::-").arg(returned[row]));
        }
        if (count == 0) {
            QVERIFY(List()->selectionModel()->selectedRows().isEmpty());
            Menu("mnuOpen");
            QCOMPARE(Message_Box::shown(), QStringList{kNotSelected});
            return;
        }
        QCOMPARE(List()->selectionModel()->selectedRows().value(0).row(), 0); // the first row, shown
        QCOMPARE(Shown_Text(), Body(returned.value(0)).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        QCOMPARE(Message_Box::shown(), QStringList());

        // Ctrl+A selects only the returned messages.
        QTest::keyClick(List(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(List()->selectionModel()->selectedRows().size(), returned.size());
        for (const QModelIndex& index : List()->selectionModel()->selectedRows())
            QCOMPARE(Model()->Returned(index.row()), Message_List_Model::Mark::Yes);
        QCOMPARE(Status(), QStringLiteral("%1 sel of %2").arg(returned.size()).arg(count));
    }

    void stop_at_row_300_of_1000_leaves_a_usable_unsorted_list()
    {
        New_Profile();
        Add_Messages(1000, {0, 999});
        On_Window_Shown hook([this](QLineEdit* status) {
            connect(status, &QLineEdit::textChanged, status, [this](const QString& text) {
                if (text != QLatin1String("300 of 1000"))
                    return;
                Button("ConvertSelected"); // refused while listing
                Button("CancelConvert");
            });
        });
        Open();
        QCOMPARE(Message_Box::shown(),
                 QStringList({"You cannot scan emails while the emails are being listed.",
                              "Listing Emails will stop."}));
        const int rows = Model()->rowCount();
        QVERIFY2(rows >= 299 && rows <= 310, qPrintable(QString::number(rows)));
        for (int row = 0; row < rows; ++row)
            QCOMPARE(Model()->Index(row), row); // unsorted: the returned 999 never came
        QCOMPARE(Status(), QStringLiteral("%1 Emails").arg(rows));
        Click_Row(42);
        QVERIFY(Shown_Text().startsWith(QStringLiteral("Message 42 ")));
    }

    void a_column_click_sorts_in_the_current_order_and_a_second_one_flips_it()
    {
        New_Profile();
        for (const char* subject : {"beta", "Alpha", "gamma"})
            profile_->Add_Message(QLatin1String(subject), Body(0));
        Open(); // sorted by "Ret?", descending
        QHeaderView* header = List()->header();
        const auto click = [&](int column) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
        };
        click(Message_List_Model::Column_Subject);
        QCOMPARE(Column(3), QStringList({"gamma", "beta", "Alpha"}));
        click(Message_List_Model::Column_Subject);
        QCOMPARE(Column(3), QStringList({"Alpha", "beta", "gamma"}));
        QCOMPARE(header->sortIndicatorSection(), int(Message_List_Model::Column_Subject));
        QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    }

    void delete_key_deletes_at_once_and_then_nothing_is_clicked()
    {
        New_Profile();
        Add_Messages(4);
        Open();
        Click_Row(1);
        Click_Row(2, Qt::ControlModifier);
        QCOMPARE(Status(), QStringLiteral("2 sel of 4"));
        QTest::keyClick(List(), Qt::Key_Delete);
        QCOMPARE(Message_Box::shown(), QStringList());
        QCOMPARE(Column(3), QStringList({"Note 0", "Note 3"}));
        QCOMPARE(profile_->Files(QStringLiteral("Inbox")).size(), 2);
        QCOMPARE(profile_->Files(QStringLiteral("Deleted Items")).size(), 2);
        QCOMPARE(Status(), QStringLiteral("0 sel of 2"));
        QCOMPARE(Shown_Text(), QString());
        Menu("mnuOpen");
        Button("ConvertSelected");
        QCOMPARE(Message_Box::shown(),
                 QStringList({kNotSelected, "Select the email item you want to scan."}));
    }

    void adding_an_identifier_twice_adds_it_twice_after_the_built_in_ones()
    {
        New_Profile();
        profile_->Add_Message(QStringLiteral("Returned mail: see transcript"), Body(0));
        Add_Messages(2);
        Open();
        Click_Row(0); // marked "Y" already
        Menu("mnuAddString");
        Menu("mnuAddString");
        const QString subject = QStringLiteral("Returned mail: see transcript");
        QCOMPARE(Message_Box::shown(), QStringList(2, QStringLiteral("Added the identifier: ") + subject));
        QFile file(bc::Data_File(bc::kSearchStringsFile));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines =
            QString::fromLatin1(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.mid(0, bc::Fallback_Search_Strings().size()), bc::Fallback_Search_Strings());
        QCOMPARE(lines.mid(bc::Fallback_Search_Strings().size()), QStringList(2, subject));
        QCOMPARE(bc::Lists().Search_Strings.count(subject), 2);
    }

    void delivery_report_shows_its_recipients_and_cannot_be_opened_or_deleted()
    {
        New_Profile();
        profile_->Add_Message(QStringLiteral("Undeliverable: Hello"), Body(0), QStringLiteral("Inbox"),
                              "X-Message-Class: REPORT.IPM.Note.NDR\r\n");
        Open();
        QCOMPARE(Shown_Text(), QStringLiteral("Return Email: Jane Doe"));
        Menu("mnuOpen");
        Click_Row(0);
        QTest::keyClick(List(), Qt::Key_Delete);
        const QString why = QStringLiteral("The item is a delivery report, not an email.");
        QCOMPARE(Message_Box::shown(),
                 QStringList({"Error on Open Email. Error: " + why, "Error on removing email." + why}));
        QCOMPARE(Model()->rowCount(), 1);
        QCOMPARE(profile_->Files(QStringLiteral("Inbox")).size(), 1);
    }

    void open_shows_one_read_only_window_per_message_and_hands_a_copy_on()
    {
        New_Profile();
        const QByteArray raw =
            "From: Bob Smith <bob@example.com>\r\nTo: Jane Doe <jane.doe@example.com>\r\n"
            "Cc: Carol <carol@example.com>\r\nSubject: Figures\r\n"
            "Date: Tue, 14 Nov 2023 22:13:20 +0000\r\nMIME-Version: 1.0\r\n"
            "Content-Type: multipart/mixed; boundary=\"B\"\r\n\r\n--B\r\n"
            "Content-Type: text/plain\r\n\r\nThe numbers are attached.\r\n--B\r\n"
            "Content-Type: application/pdf; name=\"q3.pdf\"\r\n"
            "Content-Disposition: attachment; filename=\"q3.pdf\"\r\n\r\nJVBERi0=\r\n--B--\r\n";
        profile_->Add_Raw_Message(raw);
        Open();
        QList<QUrl> handed;
        frmReadEmail::setUrlOpener([&](const QUrl& url) {
            handed << url;
            return true;
        });
        for (int twice = 0; twice < 2; ++twice)
            QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {},
                               List()->visualRect(Model()->index(0, 3)).center());
        QList<frmReadEmail*> readers;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* reader = qobject_cast<frmReadEmail*>(window); reader && reader->isVisible())
                readers << reader;
        QCOMPARE(readers.size(), 1);
        frmReadEmail* reader = readers.first();
        const std::pair<const char*, QString> fields[] = {{"txtFrom", "Bob Smith <bob@example.com>"},
                                                          {"txtTo", "Jane Doe <jane.doe@example.com>"},
                                                          {"txtCc", "Carol <carol@example.com>"},
                                                          {"txtSubject", "Figures"}};
        for (const auto& [name, text] : fields) {
            QCOMPARE(Find<QLineEdit>(reader, name)->text(), text);
            QVERIFY(Find<QLineEdit>(reader, name)->isReadOnly());
        }
        QVERIFY(!Find<QLineEdit>(reader, "txtDate")->text().isEmpty());
        QCOMPARE(Find<QTextEdit>(reader, "txtBody")->toPlainText(),
                 QStringLiteral("The numbers are attached."));
        QCOMPARE(Find<QListWidget>(reader, "lstAttachments")->item(0)->text(), QStringLiteral("q3.pdf"));
        Click(Find<QPushButton>(reader, "cmdOpenInMailProgram"));
        QCOMPARE(handed.size(), 1);
        QVERIFY(handed[0].toLocalFile().endsWith(QLatin1String("/Figures.eml")));
        QFile copy(handed[0].toLocalFile());
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), raw);
        QCOMPARE(Message_Box::shown(), QStringList());
    }

    void manual_entry_refuses_without_a_database_then_scans_only_the_picked_messages()
    {
        New_Profile();
        profile_->Add_Message(kBounce, QStringLiteral("<bob@example.com>: 550 no such user\r\n"));
        profile_->Add_Message(kBounce, QStringLiteral("<carol@example.com>: 550 no such user\r\n"));
        profile_->Add_Message(QStringLiteral("Lunch"), QStringLiteral("With dave@example.com\r\n"));
        const QString bob =
            profile_->Add_Contact(QStringLiteral("b.vcf"), QStringLiteral("Bob Smith"), {"bob@example.com"});
        const QString carol = profile_->Add_Contact(QStringLiteral("c.vcf"), QStringLiteral("Carol Jones"),
                                                    {"carol@example.com"});
        const QString dave =
            profile_->Add_Contact(QStringLiteral("d.vcf"), QStringLiteral("Dave Lee"), {"dave@example.com"});
        bc::Save_Setting(bc::Email_What_To_Do, 2);
        profile_->Add_Database(QStringLiteral("Contacts"));
        bc::Save_Contact_Folder_List();
        main_ = std::make_unique<frmMain>();
        bc::windows::Install_Processing(*main_);
        main_->Load(QString());
        main_->Databases()->clearSelection();
        QVERIFY(!Open());
        QCOMPARE(Message_Box::shown(),
                 QStringList{"No database has been selected. Please select a database(s) to "
                             "process on the main screen."});
        main_->Databases()->topLevelItem(0)->setSelected(true);
        New_Profile_Boxes();
        QVERIFY(Open());
        QCOMPARE(Column(3), QStringList({kBounce, kBounce, "Lunch"}));
        Click_Row(0);                      // Bob's bounce
        Click_Row(2, Qt::ControlModifier); // Lunch
        Button("ConvertSelected");
        QCOMPARE(Message_Box::shown(), QStringList());
        QVERIFY(!QFile::exists(bob));
        QVERIFY(QFile::exists(carol));
        QVERIFY(QFile::exists(dave));
        QCOMPARE(Column(3), QStringList({kBounce, "Lunch"})); // Carol's bounce stays listed
        QCOMPARE(Model()->Index(0), 1);
        QCOMPARE(Status(), QStringLiteral("2"));
        QCOMPARE(profile_->Files(QStringLiteral("Deleted Items")).size(), 1);
        QCOMPARE(bc::windows::frmStatusAnalysis::Instance().Lines().last(), QString(69, QLatin1Char('_')));
        QCOMPARE(Find<QLabel>(&bc::windows::frmStatusAnalysis::Instance(), "lblStatus")->text(),
                 QStringLiteral("Done: 1 contact deleted, 0 changed, 0 tasks made, 1 message deleted"));
        Button("CancelConvert");
        QVERIFY(!frmSelectContacts::Loaded());
    }
};

QTEST_MAIN(Test_Manual_Scan_Window)
#include "test_manual_scan_window.moc"
