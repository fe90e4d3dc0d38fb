// The main window's options: the restore of every option at start-up, the
// saving of every change, what each option box click does to the other boxes
// and controls, and the contact field picker behind "...".

#include "Main_Window_Support.h"

#include "outlook/Contact_Fields.h"
#include "windows/frmSelectOutlookField.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace bc;
using namespace bc::test;
using bc::windows::frmSelectOutlookField;
using bc::windows::Message_Box;

namespace {

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

class Main_Window_Options_Test : public QObject
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

QTEST_MAIN(Main_Window_Options_Test)
#include "test_main_window_options.moc"
