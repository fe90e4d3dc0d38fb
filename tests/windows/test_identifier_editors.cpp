// The two identifier list editors opened from the main window's Tools menu:
// rows inserted, edited and deleted, the heading's sort order, Save with its
// question, Reset To Default and Close, read back from the data files.

#include "Main_Window_Support.h"
#include "config/App_State.h" // Data_File
#include "config/Data_Strings.h"
#include "config/Identifier_Lists.h"
#include "config/Text_File.h"
#include "engine/Processing_Flags.h"
#include "outlook/Profile.h"
#include "windows/frmEditIdentifiers.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>

using namespace bc;
using namespace bc::test;
using bc::windows::frmEditIdentifiers;
using bc::windows::Message_Box;

namespace {

const QString kQuestion = QStringLiteral("Do you want to save all your new return string settings?");
const QString kSelectFirst = QStringLiteral("First select the string to remove.");

struct Editor
{
    frmEditIdentifiers* window = nullptr;
    QTreeWidget* list = nullptr;
};

// Opens an editor through its menu entry.
Editor Open_Editor(const Open_Window& w, bool noCheck)
{
    w.window->findChild<QAction*>(noCheck ? "mnuNoCheckAddresses" : "mnuEditReturnIdentifiers")->trigger();
    Editor editor;
    editor.window = w.window->findChild<frmEditIdentifiers*>(noCheck ? "frmEditNoCheck" : "frmEditReturn");
    if (editor.window)
        editor.list = Find<QTreeWidget>(editor.window, "ListReturns");
    return editor;
}

QString Selected(const QTreeWidget* list)
{
    const auto selected = list->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text(0);
}

void Click_Row(QTreeWidget* list, const QString& text)
{
    const auto found = list->findItems(text, Qt::MatchExactly);
    if (!found.isEmpty())
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.first()).center());
}

void Trigger(const Editor& editor, const char* action)
{
    editor.window->findChild<QAction*>(QLatin1String(action))->trigger();
}

void Save(const Editor& editor, QMessageBox::StandardButton answer = QMessageBox::Yes)
{
    Message_Box::setNextAnswer(answer);
    // As with Alt+S: the focus stays where it was, in a row being edited too.
    Find<QPushButton>(editor.window, "SaveAndClose")->click();
}

// The file as an editor saved it: Windows-1252 lines, or encrypted ones.
QByteArray Stored_Form(const QStringList& rows, bool noCheck)
{
    QByteArray bytes;
    for (const QString& row : rows)
        bytes += (noCheck ? Encrypt_Data_String(row).toLatin1() : To_Cp1252(row)) + "\r\n";
    return bytes;
}

QByteArray Read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList Case_Blind_Sorted(QStringList list)
{
    std::sort(list.begin(), list.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return list;
}

} // namespace

class Identifier_Editors_Test : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { windows::Install_Message_Boxes(); }
    void init()
    {
        Message_Box::setUnattended(true); // a question nobody answered is No, not a hang
        Lists() = Identifier_Lists{};
        engine::Flags() = engine::Processing_Flags{};
    }
    void cleanup() { engine::Flags() = engine::Processing_Flags{}; }

    void inserted_and_edited_rows_are_saved_data()
    {
        QTest::addColumn<bool>("noCheck");
        QTest::addColumn<QStringList>("saved");
        QTest::newRow("return") << false << QStringList{"New Return String", "Rückläufer"};
        QTest::newRow("no-check") << true << QStringList{"müller@example.de", "New No Check Email"};
    }
    void inserted_and_edited_rows_are_saved()
    {
        QFETCH(bool, noCheck);
        QFETCH(QStringList, saved);
        Open_Window w;
        QVERIFY(noCheck ? Save_No_Check_Strings({"old@example.com"}) : Save_Search_Strings({"bounce"}));
        const Editor editor = Open_Editor(w, noCheck);
        QVERIFY(editor.list);
        Trigger(editor, "Insert");
        const QString inserted =
            noCheck ? QStringLiteral("New No Check Email") : QStringLiteral("New Return String");
        QCOMPARE(Selected(editor.list), inserted);
        auto* box = editor.list->findChild<QLineEdit*>();
        QVERIFY(box);
        QTest::keyClick(box, Qt::Key_Return); // kept as inserted
        QCoreApplication::processEvents();    // Return closes the row editor from the event loop
        Let_Deferred_Deletes_Run();

        // The other row is still being edited when Save is pressed.
        editor.list->editItem(
            editor.list->findItems(noCheck ? "old@example.com" : "bounce", Qt::MatchExactly).value(0), 0);
        box = editor.list->findChild<QLineEdit*>();
        QVERIFY(box);
        box->setText(saved.at(noCheck ? 0 : 1));
        Save(editor);
        QCOMPARE(Message_Box::shown(), QStringList{kQuestion});
        QVERIFY(editor.window->isVisible());
        QCOMPARE(Read(Data_File(noCheck ? kNoCheckStringsFile : kSearchStringsFile)),
                 Stored_Form(saved, noCheck));
        if (noCheck) {
            Setup_No_Check();
            QCOMPARE(Lists().No_Check_Strings, QStringList({"MÜLLER@EXAMPLE.DE", "NEW NO CHECK EMAIL"}));
        } else {
            Setup_Search_Strings();
            QCOMPARE(Lists().Search_Strings, saved);
        }
    }

    void delete_selects_the_row_that_takes_its_place_data()
    {
        QTest::addColumn<bool>("noCheck");
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QString>("clicked");
        QTest::addColumn<bool>("byMenu");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<QString>("selected");
        const QStringList three{"gamma", "alpha", "beta"};
        QTest::newRow("last of three")
            << false << three << "gamma" << false << QStringList{"alpha", "beta"} << "beta";
        QTest::newRow("middle, from the menu")
            << false << three << "beta" << true << QStringList{"alpha", "gamma"} << "gamma";
        // Saving no rows then leaves an empty search_strings.txt but no No_Check_Strings.txt.
        QTest::newRow("only row") << false << QStringList{"only"} << "only" << false << QStringList()
                                  << QString();
        QTest::newRow("only no-check row") << true << QStringList{"only@example.com"} << "only@example.com"
                                           << false << QStringList() << QString();
    }
    void delete_selects_the_row_that_takes_its_place()
    {
        QFETCH(bool, noCheck);
        QFETCH(QStringList, stored);
        QFETCH(QString, clicked);
        QFETCH(bool, byMenu);
        QFETCH(QStringList, left);
        QFETCH(QString, selected);
        Open_Window w;
        QVERIFY(noCheck ? Save_No_Check_Strings(stored) : Save_Search_Strings(stored));
        const Editor editor = Open_Editor(w, noCheck);
        QTest::keyClick(editor.list, Qt::Key_Delete); // nothing clicked yet
        Click_Row(editor.list, clicked);
        if (byMenu) {
            const QPoint at = editor.list->visualItemRect(editor.list->currentItem()).center();
            QTest::mouseClick(editor.list->viewport(), Qt::RightButton, {}, at);
            QContextMenuEvent menuKey(QContextMenuEvent::Mouse, at, editor.list->viewport()->mapToGlobal(at));
            QApplication::sendEvent(editor.list->viewport(), &menuKey);
            QVERIFY(Find<QMenu>(editor.window, "PopupReturn")->isVisible());
            Trigger(editor, "Delete");
        } else {
            QTest::keyClick(editor.list, Qt::Key_Delete);
        }
        QCOMPARE(Rows(editor.list), left);
        QCOMPARE(Selected(editor.list), selected);
        QCOMPARE(Message_Box::shown(), QStringList{kSelectFirst});
        if (!left.isEmpty())
            return;
        QTest::keyClick(editor.list, Qt::Key_Delete);
        QCOMPARE(Message_Box::shown(), QStringList({kSelectFirst, kSelectFirst}));
        Save(editor);
        QCOMPARE(Read(Data_File(noCheck ? kNoCheckStringsFile : kSearchStringsFile)),
                 noCheck ? QByteArray("<missing>") : QByteArray());
    }

    void reset_shows_the_thirty_defaults_and_heading_clicks_flip_the_order()
    {
        Open_Window w;
        QVERIFY(Save_Search_Strings({"mine"}));
        const Editor editor = Open_Editor(w, false);
        Click(Find<QPushButton>(editor.window, "ResetToDefaults"));
        QCOMPARE(Message_Box::shown(), QStringList()); // without asking
        QCOMPARE(editor.list->columnCount(), 1);
        const QStringList ascending = Case_Blind_Sorted(Reset_Search_Strings());
        QCOMPARE(Rows(editor.list), ascending);
        QCOMPARE(Lists().Search_Strings, Reset_Search_Strings());
        QVERIFY(Read(Data_File(kSearchStringsFile)).endsWith("\r\nwarning:\r\n"));

        QStringList descending = ascending;
        std::reverse(descending.begin(), descending.end());
        QHeaderView* heading = editor.list->header();
        const QPoint column(heading->sectionPosition(0) + 20, heading->height() / 2);
        for (const QStringList& expected : {ascending, descending, ascending}) {
            QTest::mouseClick(heading->viewport(), Qt::LeftButton, {}, column);
            QCOMPARE(Rows(editor.list), expected);
        }
    }

    void no_then_close_or_a_run_under_way_changes_nothing()
    {
        Open_Window w;
        QVERIFY(Save_Search_Strings({"one", "two"}));
        const QByteArray before = Read(Data_File(kSearchStringsFile));
        const Editor editor = Open_Editor(w, false);
        Click_Row(editor.list, QStringLiteral("one"));
        QTest::keyClick(editor.list, Qt::Key_Delete);
        Trigger(editor, "Insert");
        Save(editor, QMessageBox::No);
        QCOMPARE(Message_Box::shown(), QStringList{kQuestion});
        // The menu again brings up the same window with its rows.
        QCOMPARE(Open_Editor(w, false).window, editor.window);
        QCOMPARE(Rows(editor.list), QStringList({"New Return String", "two"}));

        const QPointer<frmEditIdentifiers> closed = editor.window;
        Click(Find<QPushButton>(editor.window, "Close"));
        Let_Deferred_Deletes_Run();
        QVERIFY(!closed);
        QCOMPARE(Read(Data_File(kSearchStringsFile)), before);
        QCOMPARE(Lists().Search_Strings, QStringList({"one", "two"}));
        const Editor again = Open_Editor(w, false);
        QCOMPARE(Rows(again.list), QStringList({"one", "two"}));

        // While a run is under way Save and Reset change nothing.
        engine::Flags().Run_In_Progress = true;
        Click(Find<QPushButton>(again.window, "SaveAndClose"));
        Click(Find<QPushButton>(again.window, "ResetToDefaults"));
        const QString busy = QStringLiteral("The list cannot be changed while emails are being processed.");
        QCOMPARE(Message_Box::shown(), QStringList({kQuestion, busy, busy}));
        QCOMPARE(Read(Data_File(kSearchStringsFile)), before);
        QCOMPARE(Lists().Search_Strings, QStringList({"one", "two"}));
    }

    void no_check_reset_takes_the_profile_owners_address_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("notice");
        QTest::newRow("owner") << "Jane.Doe@Example.com" << QStringList{"jane.doe@example.com"} << QString();
        QTest::newRow("no owner's address: old list kept")
            << "" << QStringList{"me@example.com", "typed@example.com"}
            << "Your default email has not been set. Bounced emails may attach to your contact record.";
    }
    void no_check_reset_takes_the_profile_owners_address()
    {
        QFETCH(QString, address);
        QFETCH(QStringList, rows);
        QFETCH(QString, notice);
        Open_Window w;
        QVERIFY(outlook::Set_Profile_User(w.home.Profile(), QStringLiteral("Jane Doe"), address));
        QVERIFY(Save_No_Check_Strings({"me@example.com"}));
        const QByteArray before = Read(Data_File(kNoCheckStringsFile));
        const Editor editor = Open_Editor(w, true);
        Trigger(editor, "Insert");
        editor.list->currentItem()->setText(0, QStringLiteral("typed@example.com"));

        Click(Find<QPushButton>(editor.window, "ResetToDefaults"));
        QCOMPARE(Rows(editor.list), rows);
        QStringList shown{"This query may result on a message from Outlook re. accessing your profile.\r\n"
                          "If this happens, simply set the timeout to 1 minute and press ok."};
        if (!notice.isEmpty())
            shown << notice;
        QCOMPARE(Message_Box::shown(), shown);
        if (notice.isEmpty()) {
            QCOMPARE(Read(Data_File(kNoCheckStringsFile)),
                     Encrypt_Data_String(rows.first()).toLatin1() + "\r\n");
            QCOMPARE(Lists().No_Check_Strings, QStringList{address.toUpper()});
        } else {
            QCOMPARE(Read(Data_File(kNoCheckStringsFile)), before);
            QCOMPARE(Lists().No_Check_Strings, QStringList{"ME@EXAMPLE.COM"});
        }
    }
};

QTEST_MAIN(Identifier_Editors_Test)
#include "test_identifier_editors.moc"
