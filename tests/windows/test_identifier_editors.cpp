// The two identifier list editors opened from the main window's Tools menu:
// rows inserted, edited and deleted, the heading's sort order, Save with its
// question, Reset To Default and Close, read back from the data files.

#include "Main_Window_Support.h"
#include "config/App_State.h" // Data_File
#include "config/Data_Strings.h"
#include "config/Identifier_Lists.h"
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

// Opens the editor through its menu entry ("return" or "no-check").
Editor Open_Editor(const Open_Window& w, const QString& which)
{
    const bool isReturn = which == QLatin1String("return");
    w.window
        ->findChild<QAction*>(isReturn ? QStringLiteral("mnuEditReturnIdentifiers")
                                       : QStringLiteral("mnuNoCheckAddresses"))
        ->trigger();
    Editor editor;
    editor.window = w.window->findChild<frmEditIdentifiers*>(isReturn ? QStringLiteral("frmEditReturn")
                                                                      : QStringLiteral("frmEditNoCheck"));
    if (editor.window)
        editor.list = Find<QTreeWidget>(editor.window, "ListReturns");
    return editor;
}

QStringList Rows(const QTreeWidget* list)
{
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        rows << list->topLevelItem(i)->text(0);
    return rows;
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

QByteArray Read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void Let_Deferred_Deletes_Run()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
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

    void inserted_row_is_saved_as_it_reads_data()
    {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QString>("text");
        QTest::newRow("return") << "return"
                                << "New Return String";
        QTest::newRow("no-check") << "no-check"
                                  << "New No Check Email";
    }
    void inserted_row_is_saved_as_it_reads()
    {
        QFETCH(QString, which);
        QFETCH(QString, text);
        Open_Window w;
        const Editor editor = Open_Editor(w, which);
        QVERIFY(editor.list);
        const int before = editor.list->topLevelItemCount();
        Trigger(editor, "Insert");
        QCOMPARE(editor.list->topLevelItemCount(), before + 1);
        QCOMPARE(Selected(editor.list), text);
        QCOMPARE(Rows(editor.list), Case_Blind_Sorted(Rows(editor.list))); // in its sorted place

        Message_Box::setNextAnswer(QMessageBox::Yes);
        Click(Find<QPushButton>(editor.window, "SaveAndClose"));
        QCOMPARE(Message_Box::shown(), QStringList{kQuestion});
        QVERIFY(editor.window->isVisible());
        if (which == QLatin1String("return")) {
            QVERIFY(Read(Data_File(kSearchStringsFile)).contains("\r\nNew Return String\r\n"));
            Setup_Search_Strings();
            QCOMPARE(Lists().Search_Strings.size(), before + 1);
            QVERIFY(Lists().Search_Strings.contains(text));
        } else {
            QCOMPARE(Read(Data_File(kNoCheckStringsFile)), Encrypt_Data_String(text).toLatin1() + "\r\n");
            Setup_No_Check();
            QCOMPARE(Lists().No_Check_Strings, QStringList{text.toUpper()});
        }
    }

    void rows_edited_in_place_are_stored_in_the_data_files_form()
    {
        Open_Window w;
        Lists().Search_Strings = {QStringLiteral("bounce")};
        const Editor editor = Open_Editor(w, QStringLiteral("return"));
        editor.list->editItem(editor.list->topLevelItem(0), 0);
        auto* box = editor.list->findChild<QLineEdit*>();
        QVERIFY(box);
        box->setText(QStringLiteral("Rückläufer"));
        QTest::keyClick(box, Qt::Key_Return);
        // An edit still open when Save is pressed counts too.
        QCoreApplication::processEvents(); // Return commits and closes from the event loop
        Let_Deferred_Deletes_Run();
        Trigger(editor, "Insert");
        box = editor.list->findChild<QLineEdit*>();
        QVERIFY(box);
        box->setText(QStringLiteral("zurück"));
        Message_Box::setNextAnswer(QMessageBox::Yes);
        Click(Find<QPushButton>(editor.window, "SaveAndClose"));
        QCOMPARE(Read(Data_File(kSearchStringsFile)), QByteArray("R\xFC"
                                                                 "ckl\xE4ufer\r\nzur\xFC"
                                                                 "ck\r\n"));
        Setup_Search_Strings();
        QCOMPARE(Lists().Search_Strings, QStringList({"Rückläufer", "zurück"}));
    }

    void delete_selects_the_row_that_takes_its_place_data()
    {
        QTest::addColumn<QString>("clicked");
        QTest::addColumn<bool>("byMenu");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<QString>("selected");
        QTest::newRow("last of three") << "gamma" << false << QStringList{"alpha", "beta"} << "beta";
        QTest::newRow("middle, from the menu") << "beta" << true << QStringList{"alpha", "gamma"} << "gamma";
        QTest::newRow("only row") << "only" << false << QStringList() << QString();
    }
    void delete_selects_the_row_that_takes_its_place()
    {
        QFETCH(QString, clicked);
        QFETCH(bool, byMenu);
        QFETCH(QStringList, left);
        QFETCH(QString, selected);
        Open_Window w;
        Lists().Search_Strings =
            clicked == QLatin1String("only") ? QStringList{"only"} : QStringList{"gamma", "alpha", "beta"};
        const Editor editor = Open_Editor(w, QStringLiteral("return"));
        // Nothing clicked yet.
        QTest::keyClick(editor.list, Qt::Key_Delete);
        QCOMPARE(Message_Box::shown(), QStringList{kSelectFirst});
        Message_Box::clearShown();

        Click_Row(editor.list, clicked);
        QCOMPARE(Selected(editor.list), clicked);
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
        QCOMPARE(Message_Box::shown(), QStringList());
        if (left.isEmpty()) {
            QTest::keyClick(editor.list, Qt::Key_Delete);
            QCOMPARE(Message_Box::shown(), QStringList{kSelectFirst});
        }
        QCOMPARE(Lists().Search_Strings.size(), clicked == QLatin1String("only") ? 1 : 3); // not saved
    }

    void reset_shows_the_thirty_defaults_and_heading_clicks_flip_the_order()
    {
        Open_Window w;
        QVERIFY(Save_Search_Strings({"mine"}));
        const Editor editor = Open_Editor(w, QStringLiteral("return"));
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

    void saving_no_rows_data()
    {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("return: an empty file") << "return" << kSearchStringsFile << QByteArray();
        QTest::newRow("no-check: no file") << "no-check" << kNoCheckStringsFile << QByteArray("<missing>");
    }
    void saving_no_rows()
    {
        QFETCH(QString, which);
        QFETCH(QString, file);
        QFETCH(QByteArray, after);
        Open_Window w;
        QVERIFY(Save_Search_Strings({"one", "two"}));
        QVERIFY(Save_No_Check_Strings({"me@example.com", "you@example.com"}));
        const Editor editor = Open_Editor(w, which);
        QCOMPARE(editor.list->topLevelItemCount(), 2);
        Click_Row(editor.list, Rows(editor.list).first());
        QTest::keyClick(editor.list, Qt::Key_Delete);
        QTest::keyClick(editor.list, Qt::Key_Delete);
        QCOMPARE(editor.list->topLevelItemCount(), 0);
        Message_Box::setNextAnswer(QMessageBox::Yes);
        Click(Find<QPushButton>(editor.window, "SaveAndClose"));
        QCOMPARE(Read(Data_File(file)), after);
        QCOMPARE(Message_Box::shown(), QStringList{kQuestion});
    }

    void no_then_close_changes_nothing()
    {
        Open_Window w;
        QVERIFY(Save_Search_Strings({"one", "two"}));
        const QByteArray before = Read(Data_File(kSearchStringsFile));
        const Editor editor = Open_Editor(w, QStringLiteral("return"));
        Click_Row(editor.list, QStringLiteral("one"));
        QTest::keyClick(editor.list, Qt::Key_Delete);
        Trigger(editor, "Insert");
        Message_Box::setNextAnswer(QMessageBox::No);
        Click(Find<QPushButton>(editor.window, "SaveAndClose"));
        QCOMPARE(Message_Box::shown(), QStringList{kQuestion});
        // The menu again brings up the same window with its rows.
        QCOMPARE(Open_Editor(w, QStringLiteral("return")).window, editor.window);
        QCOMPARE(Rows(editor.list), QStringList({"New Return String", "two"}));

        const QPointer<frmEditIdentifiers> closed = editor.window;
        Click(Find<QPushButton>(editor.window, "Close"));
        Let_Deferred_Deletes_Run();
        QVERIFY(!closed);
        QCOMPARE(Read(Data_File(kSearchStringsFile)), before);
        QCOMPARE(Lists().Search_Strings, QStringList({"one", "two"}));
        QCOMPARE(Rows(Open_Editor(w, QStringLiteral("return")).list), QStringList({"one", "two"}));
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
        const Editor editor = Open_Editor(w, QStringLiteral("no-check"));
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

    void lists_stay_as_they_are_while_a_run_is_under_way()
    {
        Open_Window w;
        QVERIFY(Save_Search_Strings({"one"}));
        const Editor editor = Open_Editor(w, QStringLiteral("return"));
        engine::Flags().Run_In_Progress = true;
        Click(Find<QPushButton>(editor.window, "SaveAndClose"));
        Click(Find<QPushButton>(editor.window, "ResetToDefaults"));
        const QString busy = QStringLiteral("The list cannot be changed while emails are being processed.");
        QCOMPARE(Message_Box::shown(), QStringList({busy, busy}));
        QCOMPARE(Read(Data_File(kSearchStringsFile)), QByteArray("one\r\n"));
        QCOMPARE(Lists().Search_Strings, QStringList{"one"});
    }
};

QTEST_MAIN(Identifier_Editors_Test)
#include "test_identifier_editors.moc"
