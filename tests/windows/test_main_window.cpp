// The main window: its controls, menus and tabs, the keyboard, the processing
// entries' refusals, the contact folder list file and the end of the program.

#include "Main_Window_Support.h"

#include "config/App_State.h"
#include "config/Contact_Folder_List.h"
#include "engine/Processing_Flags.h"
#include "windows/Database_List.h"
#include "windows/frmPickFolder.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTabBar>
#include <QtTest>


using namespace bc;
using namespace bc::test;
using bc::windows::Message_Box;

namespace {

// A caption as the user reads it, without its mnemonic marker.
QString Text_Of(QWidget* w)
{
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return b->text().remove(QLatin1Char('&'));
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->text();
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    if (auto* c = qobject_cast<QComboBox*>(w))
        return c->currentText();
    if (auto* g = qobject_cast<QGroupBox*>(w))
        return g->title();
    return QString();
}

// Two contact folders in the data file, written the way the program writes it.
void Write_Two_Folders()
{
    Set_Data_Folder();
    Folders().Contact_Folder_List = {
        {QStringLiteral("Zeta Contacts"), QStringLiteral("\\\\Personal Folders\\Zeta Contacts"),
         QStringLiteral("5A"), QStringLiteral("0123456789ABCDEF0123456789ABCDEF")},
        {QStringLiteral("Alpha Contacts"), QStringLiteral("\\\\Personal Folders\\Alpha Contacts"),
         QStringLiteral("41"), QStringLiteral("0123456789ABCDEF0123456789ABCDEF")},
    };
    QVERIFY(Save_Contact_Folder_List());
    Folders().Contact_Folder_List.clear();
}

} // namespace

class Main_Window_Test : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { windows::Install_Message_Boxes(); }
    void init()
    {
        // A message nobody expected is recorded instead of waiting for a click.
        Message_Box::setUnattended(true);
        Message_Box::clearShown();
    }

    void controls_have_their_names_captions_and_tips_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tip");
        const auto row = [](const char* name, const char* caption, const char* tip = "") {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(caption)
                                << QString::fromLatin1(tip);
        };
        row("AddDatabase", "Add Contact Folder", "Add a Database");
        row("RemoveThisDatabase", "Remove Selected Folder (s)", "Remove Selected Databases");
        row("ProcessCurrent", "Selected", "Process Emails against current database");
        row("Scan_Selective", "Manual", "Scan Selected Emails");
        row("ScanEmails", "All", "Scan All Emails against All Databases");
        row("lblProcess", "Process");
        row("CloseBrindlecast", "Close");
        row("FrameContactAction", "Action When a Contact is Found");
        row("chkContactDelete", "Delete Contact From Folder");
        row("chkSet_Field_In_Contact", "Set Field In Contact");
        row("lblField", "Field");
        row("SelectField", "...", "Pick a contact field");
        row("lblFieldValue", "Value");
        row("chkClearEmailAddress", "Clear Email Address");
        row("chkCreateanote", "Attach a note to the contact body text");
        row("frameScheduleEvent", "Schedule a To Do when Contact Is Found");
        row("lblEvent", "Event");
        row("lblRegarding", "Regarding");
        row("lblPriority", "Priority");
        row("chkRingAlarm", "Ring Alarm");
        row("ClearLog", "Clear Log");
        row("OpenLog", "Open Log", "Ctrl+L");
        row("chkEnableLogging", "Enable Logging");
        row("lblInboxFolder", "Inbox Input Folder");
        row("PickTheInboxFolder", "Pick Folder");
        row("ClearInboxFolder", "Clear");
        row("lblEmailAction", "Action to take with the returned email");
        row("chkOutlookLeaveMessage", "Leave returned email in Inbox");
        row("chkOutlookRemoveMessage", "Delete Returned Email From Inbox");
        row("chkOutlookMoveMessage", "Move Email From Inbox to Another Outlook Folder");
        row("lblOutlookDestinationFolder", "Destination Folder");
        row("PickDestFolder", "Pick Folder");
        row("ClearDestFolder", "Clear");
    }

    void controls_have_their_names_captions_and_tips()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, tip);
        Open_Window w;
        QCOMPARE(w.window->windowTitle(), QStringLiteral("Brindlecast"));
        auto* control = w.window->findChild<QWidget*>(name);
        QVERIFY2(control, qPrintable(name));
        QCOMPARE(Text_Of(control), caption);
        QCOMPARE(control->toolTip(), tip);
        QVERIFY(w.window->findChild<QWidget*>(QStringLiteral("FrameEmailOptions")));
    }

    void tabs_carry_their_keys_over_one_area_of_frames_and_a_click_shows_one()
    {
        Open_Window w;
        auto* tabs = Find<QTabBar>(w.window.get(), "TabStrip1");
        QVERIFY(tabs);
        const QStringList keys = {"Contact Action", "Schedule Event", "Log", "Input Folder", "Email Actions"};
        QCOMPARE(tabs->count(), keys.size());
        for (int i = 0; i < keys.size(); ++i) {
            QCOMPARE(tabs->tabText(i).remove(QLatin1Char('&')), keys[i]);
            QCOMPARE(tabs->tabData(i).toString(), keys[i]);
        }
        // The five frames share one area; only the current one is visible.
        const char* frames[] = {"FrameContactAction", "frameScheduleEvent", "FrameLog", "FrameInbox",
                                "FrameEmailActions"};
        auto* area = Find<QStackedWidget>(w.window.get(), "FrameArea");
        QVERIFY(area);
        for (const char* name : frames)
            QCOMPARE(Find<QWidget>(w.window.get(), name)->parentWidget(), area);
        QCOMPARE(area->currentWidget()->objectName(), QStringLiteral("FrameContactAction"));
        // A tidy minimum: every page fits without overlapping.
        QVERIFY(w.window->minimumSize().width() >= w.window->minimumSizeHint().width());

        // A click shows its tab's frame; the same tab again keeps it.
        for (int index : {3, 1, 4, 2, 0, 0}) {
            QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
            QCOMPARE(area->currentWidget()->objectName(), QLatin1String(frames[index]));
            QVERIFY(area->currentWidget()->isVisible());
            QCOMPARE(w.window->Current_Frame_Key(), keys[index]);
        }
        QVERIFY(!Find<QWidget>(w.window.get(), "FrameLog")->isVisible());
    }

    void menus_have_their_entries()
    {
        Open_Window w;
        const auto entries = [&](const char* menuName) {
            QStringList names;
            auto* menu = Find<QMenu>(w.window.get(), menuName);
            if (!menu)
                return names;
            for (QAction* a : menu->actions())
                names << (a->isSeparator() ? QStringLiteral("-")
                                           : a->objectName() + QLatin1Char('=') + a->text());
            return names;
        };
        QStringList bar;
        for (QAction* a : w.window->menuBar()->actions())
            bar << a->text().remove(QLatin1Char('&'));
        QCOMPARE(bar, QStringList({"File", "Process", "Tools", "Help"}));
        QCOMPARE(entries("mnuFile"), QStringList({"ExitConvert=Exit"}));
        QCOMPARE(entries("mnuProcess"),
                 QStringList({"mnuProcessSelective=Process Manually",
                              "mnuProcessCurrent=Process Selected Databases",
                              "mnuProcessAll=Process All Databases", "-", "mnuPreviewRun=Pre&view Run"}));
        QCOMPARE(entries("mnuTools"), QStringList({"mnuManageContacts=Manage Bounced Contacts", "-",
                                                   "mnuEditReturnIdentifiers=Edit Return Identifiers",
                                                   "mnuNoCheckAddresses=Edit No-Check Addresses", "-",
                                                   "mnuUndoLastRun=&Undo Last Run"}));
        QCOMPARE(entries("HelpMe"), QStringList({"mnuHelpTopic=Help Topic", "OnlineManual=Online Help",
                                                 "AboutQuorin=About Brindlecast"}));
    }

    void first_start_shows_the_designed_edge_state()
    {
        Open_Window w;
        QVERIFY(w.started);
        QVERIFY(w.window->isVisible());
        QVERIFY(Message_Box::shown().isEmpty());
        QWidget* win = w.window.get();
        QCOMPARE(Values(win, kContactBoxes), QList<int>({1, 0, 0, 0}));
        QVERIFY(All_Enabled(win, kFieldControls, false));
        QCOMPARE(Values(win, kDisposalBoxes), QList<int>({0, 0, 0}));
        // The stored (missing) texts replace the designed defaults.
        QCOMPARE(Find<QComboBox>(win, "ComboEvent")->currentText(), QString());
        QCOMPARE(Find<QLineEdit>(win, "txtRegarding")->text(), QString());
        QCOMPARE(Find<QComboBox>(win, "ComboPriority")->currentText(), QString());
        QCOMPARE(Find<QLineEdit>(win, "txtInboxFolder")->text(), QString());
        QCOMPARE(Values(win, {"chkEnableLogging", "chkRingAlarm"}), QList<int>({0, 0}));
        QCOMPARE(w.window->Current_Frame_Key(), QStringLiteral("Contact Action"));
        QCOMPARE(Stored(Contact_Action), QStringLiteral("0"));
        // The empty list leaves no current row for "Selected".
        QVERIFY(!w.window->Databases()->Has_Current_Row());
        QCOMPARE(App().Auto_Run, false);

        // Without a database "All" refuses, from its button and its menu entry.
        int runs = 0;
        w.window->Set_Run_Handler([&](windows::frmMain&, bool) { ++runs; });
        Click(Find<QPushButton>(win, "ScanEmails"));
        w.window->findChild<QAction*>(QStringLiteral("mnuProcessAll"))->trigger();
        QCOMPARE(Message_Box::shown(), QStringList(2, QStringLiteral("No database have been setup!")));
        QCOMPARE(runs, 0);
    }

    void processing_entries_run_with_databases()
    {
        Temp_Home home;
        Write_Two_Folders();
        windows::frmMain window;
        QVERIFY(window.Load(QString()));
        // Sorted by folder name, the first row current and selected.
        auto* list = window.Databases();
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(list->topLevelItem(0)->text(windows::Database_List::Column_Folder),
                 QStringLiteral("Alpha Contacts"));
        QVERIFY(list->Has_Current_Row());

        // Without the engine the entries say so plainly.
        Click(Find<QPushButton>(&window, "ScanEmails"));
        Click(Find<QPushButton>(&window, "ProcessCurrent"));
        Click(Find<QPushButton>(&window, "Scan_Selective"));
        QCOMPARE(Message_Box::shown(),
                 QStringList({"Processing is not available yet.", "Processing is not available yet.",
                              "Manual processing is not available yet."}));

        QList<bool> runs;
        int manual = 0;
        window.Set_Run_Handler([&](windows::frmMain& w, bool selectedOnly) {
            QCOMPARE(&w, &window);
            runs << selectedOnly;
        });
        window.Set_Manual_Scan_Handler([&](windows::frmMain&) { ++manual; });
        Message_Box::clearShown();
        window.findChild<QAction*>(QStringLiteral("mnuProcessAll"))->trigger();
        window.findChild<QAction*>(QStringLiteral("mnuProcessCurrent"))->trigger();
        window.findChild<QAction*>(QStringLiteral("mnuProcessSelective"))->trigger();
        Click(Find<QPushButton>(&window, "ScanEmails"));
        QCOMPARE(runs, QList<bool>({false, true, false}));
        QCOMPARE(manual, 1);
        QVERIFY(Message_Box::shown().isEmpty());

        // No second run starts inside the yields of a first one.
        engine::Flags().Run_In_Progress = true;
        Click(Find<QPushButton>(&window, "ScanEmails"));
        Click(Find<QPushButton>(&window, "Scan_Selective"));
        engine::Flags().Run_In_Progress = false;
        QCOMPARE(runs.size(), 3);
        QCOMPARE(manual, 1);

        // A current row but nothing selected: "Selected" would process no
        // database and still move the returned messages away.
        window.Databases()->clearSelection();
        QVERIFY(window.Databases()->Has_Current_Row());
        Click(Find<QPushButton>(&window, "Scan_Selective"));
        Click(Find<QPushButton>(&window, "ProcessCurrent"));
        QCOMPARE(runs.size(), 3);
        QCOMPARE(manual, 1);
        QCOMPARE(Message_Box::shown(),
                 QStringList({"No database has been selected. Please select a database(s) to "
                              "process on the main screen.",
                              "No database has been selected! Select a database first."}));
        window.Databases()->topLevelItem(1)->setSelected(true);
        Click(Find<QPushButton>(&window, "ProcessCurrent"));
        QCOMPARE(runs, QList<bool>({false, true, false, true}));
    }

    void keyboard_reaches_every_entry()
    {
        Temp_Home home;
        Write_Two_Folders();
        windows::frmMain window;
        QVERIFY(window.Load(QString()));
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto* tabs = Find<QTabBar>(&window, "TabStrip1");

        // On every page, each button, check box and tab in sight has a mnemonic
        // of its own, and none takes a menu's letter.
        const QString menuLetters = QStringLiteral("fpth");
        for (int page = 0; page < tabs->count(); ++page) {
            tabs->setCurrentIndex(page);
            QStringList owners(26);
            const auto claim = [&](const QString& caption, const QString& owner) {
                const qsizetype at = caption.indexOf(QLatin1Char('&'));
                QVERIFY2(at >= 0 && at + 1 < caption.size() && caption.indexOf(QLatin1Char('&'), at + 1) < 0,
                         qPrintable(owner + QStringLiteral(": ") + caption));
                const QChar letter = caption.at(at + 1).toLower();
                QVERIFY2(letter >= QLatin1Char('a') && letter <= QLatin1Char('z') &&
                             !menuLetters.contains(letter),
                         qPrintable(owner));
                QString& taken = owners[letter.unicode() - 'a'];
                QVERIFY2(taken.isEmpty(), qPrintable(owner + QStringLiteral(" and ") + taken));
                taken = owner;
            };
            for (int i = 0; i < tabs->count(); ++i)
                claim(tabs->tabText(i), tabs->tabData(i).toString());
            for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
                // The tab strip's own scroll arrows and the "..." field picker
                // have no words to mark.
                if (button->isVisible() && button->text() != QLatin1String("...") &&
                    !qobject_cast<QTabBar*>(button->parentWidget()))
                    claim(button->text(), button->objectName());
            }
        }

        // Ctrl+Tab and Ctrl+PgDn go forward through the pages, with Shift or
        // PgUp back, round the ends.
        tabs->setCurrentIndex(0);
        const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
            {Qt::Key_Tab, Qt::ControlModifier},
            {Qt::Key_PageDown, Qt::ControlModifier},
            {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier},
            {Qt::Key_PageUp, Qt::ControlModifier},
            {Qt::Key_PageUp, Qt::ControlModifier},
        };
        QStringList shown;
        for (const auto& [key, modifiers] : keys) {
            QTest::keyClick(&window, key, modifiers);
            shown << window.Current_Frame_Key();
        }
        QCOMPARE(shown,
                 QStringList({"Schedule Event", "Log", "Schedule Event", "Contact Action", "Email Actions"}));

        // F5 runs "All", Ctrl+L opens the log, Ctrl+Q ends the program.
        QList<bool> runs;
        window.Set_Run_Handler([&](windows::frmMain&, bool selectedOnly) { runs << selectedOnly; });
        QTest::keyClick(&window, Qt::Key_F5);
        QCOMPARE(runs, QList<bool>({false}));
        Message_Box::setNextAnswer(QMessageBox::Ok);
        QTest::keyClick(&window, Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(Message_Box::shown(),
                 QStringList({"Log file has not yet been activated. Enable log file and run "
                              "the software to populate."}));
        QSignalSpy ended(&window, &windows::frmMain::Program_Ended);
        QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(ended.count(), 1);
    }

    void close_button_exit_and_close_box_end_the_program()
    {
        const std::function<void(windows::frmMain&)> ways[] = {
            [](windows::frmMain& w) { Click(Find<QPushButton>(&w, "CloseBrindlecast")); },
            [](windows::frmMain& w) { w.findChild<QAction*>(QStringLiteral("ExitConvert"))->trigger(); },
            [](windows::frmMain& w) { w.close(); },
        };
        for (const auto& end : ways) {
            Open_Window w;
            // Another window open beside the main one closes with it.
            QWidget other;
            other.show();
            QSignalSpy ended(w.window.get(), &windows::frmMain::Program_Ended);
            end(*w.window);
            QCOMPARE(ended.count(), 1);
            QVERIFY(w.window->Is_Unloaded());
            QVERIFY(!w.window->isVisible());
            QVERIFY(!other.isVisible());
            // Ending again (a second close) does nothing more.
            w.window->close();
            QCOMPARE(ended.count(), 1);
        }
    }

    void changed_list_is_saved_at_the_end()
    {
        Temp_Home home;
        windows::frmMain window;
        QVERIFY(window.Load(QString()));
        const QString file = home.Data_Folder() + QStringLiteral("dbdata-outlook.dat");
        QVERIFY(!QFile::exists(file));
        windows::frmPickFolder::setNextAnswer(
            windows::frmPickFolder::Folder_At(QStringLiteral("Personal Folders/Contacts")));
        Click(Find<QPushButton>(&window, "AddDatabase"));
        QCOMPARE(window.Databases()->topLevelItemCount(), 1);
        QVERIFY(!QFile::exists(file)); // written at the end, not before
        Click(Find<QPushButton>(&window, "CloseBrindlecast"));
        QVERIFY(Message_Box::shown().isEmpty());
        QVERIFY(QFile::exists(file));

        // The next start finds it again.
        Message_Box::clearShown();
        windows::frmMain again;
        QVERIFY(again.Load(QString()));
        QCOMPARE(again.Databases()->topLevelItemCount(), 1);
        QCOMPARE(again.Databases()->topLevelItem(0)->text(windows::Database_List::Column_Folder),
                 QStringLiteral("Contacts"));
        // Removing every row deletes the file at the end.
        again.Databases()->selectAll();
        Message_Box::setNextAnswer(QMessageBox::Yes);
        Click(Find<QPushButton>(&again, "RemoveThisDatabase"));
        again.close();
        QVERIFY(!QFile::exists(file));
    }

    void unchanged_damaged_list_file_survives_the_end()
    {
        Temp_Home home;
        const QByteArray damaged = "not a record\r\n-:::-ZZZZ-:::-\r\n";
        const QString file = home.Write(QStringLiteral("data/Brindlecast/dbdata-outlook.dat"), damaged);
        windows::frmMain window;
        QVERIFY(window.Load(QString()));
        QCOMPARE(window.Databases()->topLevelItemCount(), 0);
        window.close();
        QCOMPARE(home.Read(file), damaged);
    }

    void start_up_failure_names_its_marker_and_keeps_the_list_file()
    {
        Temp_Home home;
        Write_Settings(home, {"\"Contact_Action\"=dword:00000001", "\"ToDo_Alarm\"=dword:00000001"});
        // A folder where the list file should be: it cannot be read.
        QVERIFY(QDir().mkpath(home.Data_Folder() + QStringLiteral("dbdata-outlook.dat")));
        windows::frmMain window;
        QVERIFY(!window.Load(QString()));
        QCOMPARE(Message_Box::shown().size(), 1);
        QVERIFY2(Message_Box::shown().first().startsWith(QStringLiteral("Error: 100034 Problem: ")),
                 qPrintable(Message_Box::shown().first()));
        // The user learns at once that the list will not be saved over the file.
        QVERIFY2(Message_Box::shown().first().contains(QStringLiteral("will not be saved over this file")),
                 qPrintable(Message_Box::shown().first()));
        // Steps before the failure happened, the rest was skipped; the window opens.
        QCOMPARE(Box(&window, "chkRingAlarm")->Value(), 1);
        QCOMPARE(Box(&window, "chkSet_Field_In_Contact")->Value(), 0);
        QCOMPARE(Box(&window, "chkContactDelete")->Value(), 0);
        QVERIFY(window.isVisible());
        // Nothing replaces the list that could not be read.
        windows::frmPickFolder::setNextAnswer(
            windows::frmPickFolder::Folder_At(QStringLiteral("Personal Folders/Contacts")));
        Click(Find<QPushButton>(&window, "AddDatabase"));
        Message_Box::clearShown();
        window.close();
        QVERIFY(Message_Box::shown().isEmpty());
        QVERIFY(QFileInfo(home.Data_Folder() + QStringLiteral("dbdata-outlook.dat")).isDir());
    }

    void failed_save_reports_and_still_ends()
    {
        Temp_Home home;
        windows::frmMain window;
        QVERIFY(window.Load(QString()));
        windows::frmPickFolder::setNextAnswer(
            windows::frmPickFolder::Folder_At(QStringLiteral("Personal Folders/Contacts")));
        Click(Find<QPushButton>(&window, "AddDatabase"));
        QCOMPARE(window.Databases()->topLevelItemCount(), 1);
        // The data folder turns into a file: the list cannot be written.
        const QString folder = home.Data_Folder();
        QVERIFY(QDir(folder).removeRecursively());
        home.Write(QStringLiteral("data/Brindlecast"), "in the way");
        QSignalSpy ended(&window, &windows::frmMain::Program_Ended);
        window.close();
        QCOMPARE(Message_Box::shown().size(), 1);
        QVERIFY2(Message_Box::shown().first().startsWith(QStringLiteral("Error on Unload: ")),
                 qPrintable(Message_Box::shown().first()));
        QCOMPARE(ended.count(), 1);
    }
};

QTEST_MAIN(Main_Window_Test)
#include "test_main_window.moc"
