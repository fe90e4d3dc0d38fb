// The main window: its controls, the restore of every option at start-up,
// the saving of every change, what each option box click does to the other
// boxes and controls, the contact field picker behind "...", the tabs, the
// processing entries' refusals and the end of the program.

#include "Main_Window_Support.h"

#include "config/App_State.h"
#include "config/Contact_Folder_List.h"
#include "engine/Processing_Flags.h"
#include "outlook/Contact_Fields.h"
#include "windows/Database_List.h"
#include "windows/frmPickFolder.h"
#include "windows/frmSelectOutlookField.h"

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
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabBar>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace bc;
using namespace bc::test;
using bc::windows::frmSelectOutlookField;
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

const char* const kFieldControls[] = {"txtFieldToBeSet", "txtValue", "lblField", "lblFieldValue",
                                      "SelectField"};
const char* const kDestinationControls[] = {"lblOutlookDestinationFolder", "txtOutlookDestinationFolder",
                                            "PickDestFolder", "ClearDestFolder"};

template <size_t N> bool All_Enabled(const QWidget* window, const char* const (&names)[N], bool enabled)
{
    for (const char* name : names) {
        if (Find<QWidget>(window, name)->isEnabled() != enabled)
            return false;
    }
    return true;
}

const QString kPrompt = QStringLiteral("Enter the name of the user defined property.");

// Clicks "..." and runs `act` on the modal field picker; the picker is closed
// afterwards if `act` left it open.
void With_Picker(QWidget* main, const std::function<void(frmSelectOutlookField&)>& act)
{
    QTimer::singleShot(0, main, [main, act] {
        auto* picker = main->findChild<frmSelectOutlookField*>();
        if (!picker)
            return;
        act(*picker);
        if (picker->isVisible())
            picker->reject();
    });
    Click(Find<QPushButton>(main, "SelectField"));
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

    void every_option_is_restored_from_the_settings_file()
    {
        Open_Window w({
            "\"Contact_Action\"=dword:00000001",
            "\"Contact_Field_To_Set\"=\"User1\"",
            "\"Contact_Value_To_Set\"=\"Bounced\"",
            "\"Clear_Email_Address\"=dword:00000001",
            "\"CreateANote\"=dword:00000001",
            "\"Log_Enabled\"=dword:00000001",
            "\"ToDo_Alarm\"=dword:00000001",
            "\"Email_What_To_Do\"=dword:00000003",
            "\"Email_Inbox_Folder\"=\"Bounces\"",
            "\"Email_Destination_Folder\"=\"Archive\"",
            "\"ToDo_Status\"=\"Task\"",
            "\"ToDo_Regarding\"=\"Dead address\"",
            "\"ToDo_Priority\"=\"Low\"",
            "\"Runs_To_Keep\"=dword:00000007",
        });
        QWidget* win = w.window.get();
        QVERIFY(w.started);
        QCOMPARE(Values(win, kContactBoxes), QList<int>({0, 1, 1, 1}));
        QCOMPARE(Find<QLineEdit>(win, "txtFieldToBeSet")->text(), QStringLiteral("User1"));
        QCOMPARE(Find<QLineEdit>(win, "txtValue")->text(), QStringLiteral("Bounced"));
        QVERIFY(All_Enabled(win, kFieldControls, true));
        QCOMPARE(Values(win, {"chkEnableLogging", "chkRingAlarm"}), QList<int>({1, 1}));
        QCOMPARE(Values(win, kDisposalBoxes), QList<int>({0, 0, 1}));
        QCOMPARE(Find<QLineEdit>(win, "txtInboxFolder")->text(), QStringLiteral("Bounces"));
        QCOMPARE(Find<QLineEdit>(win, "txtOutlookDestinationFolder")->text(), QStringLiteral("Archive"));
        QCOMPARE(Find<QComboBox>(win, "ComboEvent")->currentText(), QStringLiteral("Task"));
        QCOMPARE(Find<QLineEdit>(win, "txtRegarding")->text(), QStringLiteral("Dead address"));
        QCOMPARE(Find<QComboBox>(win, "ComboPriority")->currentText(), QStringLiteral("Low"));
        QCOMPARE(Find<QSpinBox>(win, "txtRunsToKeep")->value(), 7);

        // What the engine reads while it handles a contact.
        const engine::Contact_Action_Choices& choices = w.window->Choices();
        QCOMPARE(choices.Contact_Delete(), 0);
        QCOMPARE(choices.Set_Field_In_Contact(), 1);
        QCOMPARE(choices.Clear_Email_Address(), 1);
        QCOMPARE(choices.Create_A_Note(), 1);
        QCOMPARE(choices.Field_To_Be_Set(), QStringLiteral("User1"));
        QCOMPARE(choices.Field_Value(), QStringLiteral("Bounced"));
        QCOMPARE(choices.Event_Text(), QStringLiteral("Task"));

        // Restoring wrote nothing different.
        QCOMPARE(Stored(CreateANote), QStringLiteral("1"));
        QCOMPARE(Stored(Clear_Email_Address), QStringLiteral("1"));
        QCOMPARE(Stored(Email_What_To_Do), QStringLiteral("3"));
        QVERIFY(Message_Box::shown().isEmpty());
    }

    void disposal_choice_is_restored_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("checked");
        QTest::addColumn<bool>("destinationEnabled");
        const auto row = [](const char* name, const char* stored, const char* checked, bool enabled) {
            QTest::newRow(name) << QString::fromLatin1(stored) << QString::fromLatin1(checked) << enabled;
        };
        row("leave", "dword:00000001", "chkOutlookLeaveMessage", false);
        row("delete", "dword:00000002", "chkOutlookRemoveMessage", false);
        row("move", "dword:00000003", "chkOutlookMoveMessage", true);
        row("other number", "dword:00000007", "", true);
        row("text", "\"move\"", "", true);
    }

    void disposal_choice_is_restored()
    {
        QFETCH(QString, stored);
        QFETCH(QString, checked);
        QFETCH(bool, destinationEnabled);
        Open_Window w({"\"Email_What_To_Do\"=" + stored, "\"Email_Destination_Folder\"=\"Archive\""});
        for (const QString& name : kDisposalBoxes)
            QCOMPARE(Box(w.window.get(), qPrintable(name))->Value(), checked == name ? 1 : 0);
        QVERIFY(All_Enabled(w.window.get(), kDestinationControls, destinationEnabled));
        QCOMPARE(Find<QLineEdit>(w.window.get(), "txtOutlookDestinationFolder")->text(),
                 QStringLiteral("Archive"));
    }

    void stored_two_shows_grayed_and_a_click_toggles_and_saves()
    {
        Open_Window w({"\"Contact_Action\"=dword:00000001", "\"Clear_Email_Address\"=dword:00000002",
                       "\"Log_Enabled\"=dword:00000002", "\"ToDo_Alarm\"=dword:00000002"});
        QWidget* win = w.window.get();
        for (const char* name : {"chkClearEmailAddress", "chkEnableLogging", "chkRingAlarm"}) {
            QCOMPARE(Box(win, name)->checkState(), Qt::PartiallyChecked);
            QCOMPARE(Box(win, name)->Value(), 2);
        }
        // Grayed is not checked: the engine must not clear addresses for it.
        QCOMPARE(w.window->Choices().Clear_Email_Address(), 2);
        QCOMPARE(Stored(Clear_Email_Address), QStringLiteral("2"));
        QCOMPARE(Stored(Log_Enabled), QStringLiteral("2"));
        QCOMPARE(Stored(ToDo_Alarm), QStringLiteral("2"));

        Click_Tab(w.window.get(), QStringLiteral("Log"));
        auto* logging = Box(win, "chkEnableLogging");
        Click_Box(logging);
        QCOMPARE(logging->Value(), 1);
        QCOMPARE(Stored(Log_Enabled), QStringLiteral("1"));
        Click_Box(logging);
        QCOMPARE(logging->Value(), 0);
        QCOMPARE(Stored(Log_Enabled), QStringLiteral("0"));
        Click_Box(logging);
        QCOMPARE(logging->Value(), 1);
        Click_Tab(win, QStringLiteral("Schedule Event"));
        Click_Box(Box(win, "chkRingAlarm"));
        QCOMPARE(Stored(ToDo_Alarm), QStringLiteral("1"));
        Click_Box(Box(win, "chkRingAlarm"));
        QCOMPARE(Stored({ToDo_Alarm, Log_Enabled}), QStringList({"0", "1"}));
        // The file itself holds the numbers.
        const QByteArray file = w.home.Read(w.home.Registry_File());
        QVERIFY2(file.contains("\"Log_Enabled\"=dword:00000001"), file.constData());
        QVERIFY2(file.contains("\"ToDo_Alarm\"=dword:00000000"), file.constData());
        QVERIFY2(Message_Box::shown().isEmpty(), qPrintable(Message_Box::shown().join(u'\n')));
    }

    void typing_saves_every_change()
    {
        Open_Window w({"\"Contact_Action\"=dword:00000001", "\"ToDo_Status\"=\"<None>\""});
        QWidget* win = w.window.get();
        auto* field = Find<QLineEdit>(win, "txtFieldToBeSet");
        QTest::keyClicks(field, "Use");
        QCOMPARE(Stored(Contact_Field_To_Set), QStringLiteral("Use"));
        QTest::keyClicks(field, "r2");
        QCOMPARE(Stored(Contact_Field_To_Set), QStringLiteral("User2"));
        auto* value = Find<QLineEdit>(win, "txtValue");
        value->selectAll();
        QTest::keyClicks(value, "Dead");
        QCOMPARE(Stored(Contact_Value_To_Set), QStringLiteral("Dead"));
        QTest::keyClick(value, Qt::Key_Backspace);
        QCOMPARE(Stored(Contact_Value_To_Set), QStringLiteral("Dea"));
        Find<QSpinBox>(win, "txtRunsToKeep")->setValue(3);
        QCOMPARE(Stored(Runs_To_Keep), QStringLiteral("3"));

        Click_Tab(w.window.get(), QStringLiteral("Schedule Event"));
        auto* regarding = Find<QLineEdit>(win, "txtRegarding");
        QTest::keyClicks(regarding, "  Bounce");
        // Stored trimmed, read back as stored.
        QCOMPARE(Stored(ToDo_Regarding), QStringLiteral("Bounce"));
        auto* priority = Find<QComboBox>(win, "ComboPriority");
        QTest::keyClicks(priority->lineEdit(), "Urgent");
        QCOMPARE(Stored(ToDo_Priority), QStringLiteral("Urgent"));
        priority->lineEdit()->clear();
        QCOMPARE(Stored(ToDo_Priority), QString());
        priority->setFocus();
        QTest::keyClick(priority, Qt::Key_Down); // picks a listed priority
        QVERIFY(QStringList({"Low", "Medium", "High"}).contains(Stored(ToDo_Priority)));
        QCOMPARE(Stored(ToDo_Priority), priority->currentText());

        // The event is saved on a choice, not on typing; the engine reads the
        // control, so the typed text still counts in a run.
        auto* event = Find<QComboBox>(win, "ComboEvent");
        QTest::keyClicks(event->lineEdit(), "Call");
        QCOMPARE(Stored(ToDo_Status), QStringLiteral("<None>"));
        QCOMPARE(w.window->Choices().Event_Text(), QStringLiteral("<None>Call"));
        event->setCurrentIndex(0);
        event->setFocus();
        QTest::keyClick(event, Qt::Key_Down);
        QCOMPARE(event->currentText(), QStringLiteral("Task"));
        QCOMPARE(Stored(ToDo_Status), QStringLiteral("Task"));
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

    void delete_contact_excludes_every_other_action()
    {
        Open_Window w({"\"Contact_Action\"=dword:00000001", "\"Clear_Email_Address\"=dword:00000001",
                       "\"CreateANote\"=dword:00000001", "\"Contact_Field_To_Set\"=\"User1\"",
                       "\"Contact_Value_To_Set\"=\"Bounced\""});
        QWidget* win = w.window.get();
        // Typed but then replaced from the settings when delete is checked.
        auto* field = Find<QLineEdit>(win, "txtFieldToBeSet");
        QTest::keyClicks(field, "X");
        QCOMPARE(Stored(Contact_Field_To_Set), QStringLiteral("User1X"));
        Save_Setting(Contact_Field_To_Set, QStringLiteral("Mark"));

        Click_Box(Box(win, "chkContactDelete"));
        QCOMPARE(Values(win, kContactBoxes), QList<int>({1, 0, 0, 0}));
        QVERIFY(All_Enabled(win, kFieldControls, false));
        QCOMPARE(field->text(), QStringLiteral("Mark"));
        QCOMPARE(Find<QLineEdit>(win, "txtValue")->text(), QStringLiteral("Bounced"));
        QCOMPARE(Stored({Contact_Action, CreateANote, Clear_Email_Address, Contact_Field_To_Set}),
                 QStringList({"0", "0", "0", "Mark"}));
        QVERIFY2(Message_Box::shown().isEmpty(), qPrintable(Message_Box::shown().join(u'\n')));
    }

    void contact_boxes_exclude_delete_and_save_every_click()
    {
        Open_Window w({"\"Contact_Field_To_Set\"=\"User2\"", "\"Contact_Value_To_Set\"=\"Dead\"",
                       "\"Clear_Email_Address\"=dword:00000000", "\"CreateANote\"=dword:00000000"});
        QWidget* win = w.window.get();
        QVERIFY(All_Enabled(win, kFieldControls, false)); // delete checked: nothing stored
        // Checking set field refills its controls from the settings.
        Save_Setting(Contact_Value_To_Set, QStringLiteral("Gone"));
        Click_Box(Box(win, "chkSet_Field_In_Contact"));
        QCOMPARE(Find<QLineEdit>(win, "txtFieldToBeSet")->text(), QStringLiteral("User2"));
        QCOMPARE(Find<QLineEdit>(win, "txtValue")->text(), QStringLiteral("Gone"));
        struct Step
        {
            const char* click;
            QList<int> boxes; // delete, set field, clear address, note
            bool fieldControls;
            QStringList stored; // Contact_Action, Clear_Email_Address, CreateANote
        };
        // Neither delete nor set field checked stores a 2 of its own, so the
        // next start does not bring the deletion back.
        const Step steps[] = {
            {"chkSet_Field_In_Contact", {0, 0, 0, 0}, false, {"2", "0", "0"}},
            {"chkContactDelete", {1, 0, 0, 0}, false, {"0", "0", "0"}},
            {"chkContactDelete", {0, 0, 0, 0}, true, {"2", "0", "0"}},
            {"chkContactDelete", {1, 0, 0, 0}, false, {"0", "0", "0"}},
            {"chkClearEmailAddress", {0, 0, 1, 0}, true, {"2", "1", "0"}},
            {"chkCreateanote", {0, 0, 1, 1}, true, {"2", "1", "1"}},
            {"chkSet_Field_In_Contact", {0, 1, 1, 1}, true, {"1", "1", "1"}},
            {"chkCreateanote", {0, 1, 1, 0}, true, {"1", "1", "0"}},
            {"chkClearEmailAddress", {0, 1, 0, 0}, true, {"1", "0", "0"}},
            {"chkContactDelete", {1, 0, 0, 0}, false, {"0", "0", "0"}},
            {"chkCreateanote", {0, 0, 0, 1}, true, {"2", "0", "1"}},
        };
        for (const Step& step : steps) {
            Click_Box(Box(win, step.click));
            QCOMPARE(Values(win, kContactBoxes), step.boxes);
            QVERIFY(All_Enabled(win, kFieldControls, step.fieldControls));
            QCOMPARE(Stored({Contact_Action, Clear_Email_Address, CreateANote}), step.stored);
        }
        QVERIFY2(Message_Box::shown().isEmpty(), qPrintable(Message_Box::shown().join(u'\n')));
    }

    void disposal_boxes_exclude_each_other_and_switch_the_destination()
    {
        Open_Window w;
        QWidget* win = w.window.get();
        Click_Tab(win, QStringLiteral("Email Actions"));
        struct Step
        {
            const char* click;
            QList<int> boxes; // leave, delete, move
            const char* stored;
        };
        // Unchecking the checked box leaves none and keeps the setting.
        const Step steps[] = {{"chkOutlookMoveMessage", {0, 0, 1}, "3"},
                              {"chkOutlookLeaveMessage", {1, 0, 0}, "1"},
                              {"chkOutlookMoveMessage", {0, 0, 1}, "3"},
                              {"chkOutlookMoveMessage", {0, 0, 0}, "3"},
                              {"chkOutlookRemoveMessage", {0, 1, 0}, "2"}};
        for (const Step& step : steps) {
            Click_Box(Box(win, step.click));
            QCOMPARE(Values(win, kDisposalBoxes), step.boxes);
            QCOMPARE(Stored(Email_What_To_Do), QLatin1String(step.stored));
            QVERIFY(All_Enabled(win, kDestinationControls, QLatin1String(step.stored) == "3"));
        }
        QVERIFY2(Message_Box::shown().isEmpty(), qPrintable(Message_Box::shown().join(u'\n')));
    }

    void field_picker_offers_the_ninety_names_sorted()
    {
        // Every name but two is a standard contact field; those two go the user-defined way.
        for (const QString& name : frmSelectOutlookField::Field_Names())
            QVERIFY2(outlook::Is_Standard_Contact_Field(name) !=
                         (name == "Importance" || name == "Sensitivity"),
                     qPrintable(name));
        frmSelectOutlookField picker(nullptr);
        const QStringList shown = Rows(picker.List());
        QCOMPARE(shown.size(), 90);
        for (int i = 1; i < shown.size(); ++i)
            QVERIFY2(shown[i - 1].compare(shown[i], Qt::CaseInsensitive) < 0, qPrintable(shown[i]));
    }

    void field_picker_select_and_cancel_data()
    {
        QTest::addColumn<QString>("typed"); // "-": User Defined not pressed
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QStringList>("shown");
        const auto row = [](const char* name, const char* typed, const char* button, const char* field,
                            const QStringList& shown) {
            QTest::newRow(name) << typed << button << field << shown;
        };
        row("Select at once", "-", "SelectField", "Account", {});
        row("a listed name in other case", "companyname", "SelectField", "Account",
            {kPrompt, "A field with the name: companyname already exists."});
        row("input box cancelled", "", "SelectField", "Account", {kPrompt});
        row("a new name", "Bounce Status", "SelectField", "Bounce Status", {kPrompt});
        row("a new name, then Cancel", "Bounce Status", "CancelSelection", "User1", {kPrompt});
    }
    void field_picker_select_and_cancel()
    {
        QFETCH(QString, typed);
        QFETCH(QString, button);
        QFETCH(QString, field);
        QFETCH(QStringList, shown);
        const bool added = typed.contains(QLatin1Char(' '));
        Open_Window w({"\"Contact_Action\"=dword:00000001", "\"Contact_Field_To_Set\"=\"User1\""});
        QStringList rows;
        QString current;
        With_Picker(w.window.get(), [&](frmSelectOutlookField& picker) {
            if (typed != QLatin1String("-")) {
                Message_Box::setNextInput(typed);
                Click(Find<QPushButton>(&picker, "UserDefined"));
            }
            rows = Rows(picker.List());
            current = picker.Current_Item()->text(0);
            Click(Find<QPushButton>(&picker, qPrintable(button)));
        });
        QCOMPARE(rows.size(), added ? 91 : 90);
        QCOMPARE(current, added ? typed : QStringLiteral("Account"));
        if (added) // in its sorted place
            QCOMPARE(rows.indexOf(typed), rows.indexOf(QStringLiteral("BillingInformation")) + 1);
        QCOMPARE(Message_Box::shown(), shown);
        QCOMPARE(Find<QLineEdit>(w.window.get(), "txtFieldToBeSet")->text(), field);
        QCOMPARE(Stored(Contact_Field_To_Set), field);
    }

    void contact_actions_come_back_as_left_after_a_restart_data()
    {
        // Boxes clicked after a first start (delete checked), and the four
        // contact boxes expected after the next start: delete, set field, clear
        // address, note.
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("set field") << QStringList({"chkSet_Field_In_Contact"}) << QList<int>({0, 1, 0, 0});
        QTest::newRow("clear address only")
            << QStringList({"chkClearEmailAddress"}) << QList<int>({0, 0, 1, 0});
        QTest::newRow("note only") << QStringList({"chkCreateanote"}) << QList<int>({0, 0, 0, 1});
        QTest::newRow("nothing") << QStringList({"chkContactDelete"}) << QList<int>({0, 0, 0, 0});
        QTest::newRow("back to delete")
            << QStringList({"chkClearEmailAddress", "chkCreateanote", "chkContactDelete"})
            << QList<int>({1, 0, 0, 0});
    }

    void contact_actions_come_back_as_left_after_a_restart()
    {
        QFETCH(QStringList, clicks);
        QFETCH(QList<int>, expected);
        Open_Window w;
        for (const QString& name : clicks)
            Click_Box(Box(w.window.get(), qPrintable(name)));
        QCOMPARE(Values(w.window.get(), kContactBoxes), expected);
        w.window->close();

        windows::frmMain again;
        QVERIFY(again.Load(QString()));
        QCOMPARE(Values(&again, kContactBoxes), expected);
        QVERIFY2(Message_Box::shown().isEmpty(), qPrintable(Message_Box::shown().join(u'\n')));
    }
};

QTEST_MAIN(Main_Window_Test)
#include "test_main_window.moc"
