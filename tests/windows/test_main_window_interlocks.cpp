// The option boxes of the main window: what each click saves and what it does
// to the other boxes and controls.

#include "Main_Window_Support.h"

#include <QLineEdit>
#include <QtTest>

using namespace bc;
using namespace bc::test;
using bc::windows::Message_Box;

namespace {

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

} // namespace

class Interlocks_Test : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { windows::Install_Message_Boxes(); }
    void init()
    {
        Message_Box::setUnattended(true);
        Message_Box::clearShown();
    }
    void cleanup() { QVERIFY2(Message_Box::shown().isEmpty(), qPrintable(Message_Box::shown().join('\n'))); }

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
    }

    void unchecking_delete_enables_the_field_controls()
    {
        Open_Window w; // first start: delete checked, field controls disabled
        QWidget* win = w.window.get();
        QVERIFY(All_Enabled(win, kFieldControls, false));
        Click_Box(Box(win, "chkContactDelete"));
        QCOMPARE(Values(win, kContactBoxes), QList<int>({0, 0, 0, 0}));
        QVERIFY(All_Enabled(win, kFieldControls, true));
        // Neither box checked has a value of its own, so the next start does not
        // bring the deletion back.
        QCOMPARE(Stored(Contact_Action), QStringLiteral("2"));
    }

    void set_field_saves_and_refills_from_the_settings()
    {
        Open_Window w({"\"Contact_Field_To_Set\"=\"User2\"", "\"Contact_Value_To_Set\"=\"Dead\""});
        QWidget* win = w.window.get();
        Save_Setting(Contact_Value_To_Set, QStringLiteral("Gone"));
        Click_Box(Box(win, "chkSet_Field_In_Contact"));
        QCOMPARE(Values(win, kContactBoxes), QList<int>({0, 1, 0, 0}));
        QVERIFY(All_Enabled(win, kFieldControls, true));
        QCOMPARE(Stored(Contact_Action), QStringLiteral("1"));
        QCOMPARE(Find<QLineEdit>(win, "txtFieldToBeSet")->text(), QStringLiteral("User2"));
        QCOMPARE(Find<QLineEdit>(win, "txtValue")->text(), QStringLiteral("Gone"));

        Click_Box(Box(win, "chkSet_Field_In_Contact"));
        QCOMPARE(Values(win, kContactBoxes), QList<int>({0, 0, 0, 0}));
        QVERIFY(All_Enabled(win, kFieldControls, false));
        QCOMPARE(Stored(Contact_Action), QStringLiteral("2"));
    }

    void clear_address_and_note_uncheck_delete_and_combine()
    {
        Open_Window w;
        QWidget* win = w.window.get();
        Click_Box(Box(win, "chkClearEmailAddress"));
        QCOMPARE(Values(win, kContactBoxes), QList<int>({0, 0, 1, 0}));
        QCOMPARE(Stored(Clear_Email_Address), QStringLiteral("1"));
        // Unchecking delete that way enabled the field controls.
        QVERIFY(All_Enabled(win, kFieldControls, true));

        Click_Box(Box(win, "chkCreateanote"));
        Click_Box(Box(win, "chkSet_Field_In_Contact"));
        QCOMPARE(Values(win, kContactBoxes), QList<int>({0, 1, 1, 1}));
        QCOMPARE(Stored({CreateANote, Contact_Action}), QStringList({"1", "1"}));

        Click_Box(Box(win, "chkCreateanote"));
        Click_Box(Box(win, "chkClearEmailAddress"));
        QCOMPARE(Stored({CreateANote, Clear_Email_Address}), QStringList({"0", "0"}));
        QCOMPARE(Values(win, kContactBoxes), QList<int>({0, 1, 0, 0}));

        // Checking the note unchecks a checked delete box.
        Click_Box(Box(win, "chkContactDelete"));
        QCOMPARE(Box(win, "chkSet_Field_In_Contact")->Value(), 0);
        Click_Box(Box(win, "chkCreateanote"));
        QCOMPARE(Values(win, kContactBoxes), QList<int>({0, 0, 0, 1}));
        QCOMPARE(Stored(CreateANote), QStringLiteral("1"));
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
        const Step steps[] = {{"chkOutlookMoveMessage", {0, 0, 1}, "3"},
                              {"chkOutlookLeaveMessage", {1, 0, 0}, "1"},
                              {"chkOutlookMoveMessage", {0, 0, 1}, "3"},
                              {"chkOutlookRemoveMessage", {0, 1, 0}, "2"}};
        for (const Step& step : steps) {
            Click_Box(Box(win, step.click));
            QCOMPARE(Values(win, kDisposalBoxes), step.boxes);
            QCOMPARE(Stored(Email_What_To_Do), QLatin1String(step.stored));
            QVERIFY(All_Enabled(win, kDestinationControls, step.boxes[2] == 1));
        }
    }

    void unchecking_the_checked_disposal_leaves_none_and_keeps_the_setting()
    {
        Open_Window w({"\"Email_What_To_Do\"=dword:00000003"});
        QWidget* win = w.window.get();
        Click_Tab(win, QStringLiteral("Email Actions"));
        Click_Box(Box(win, "chkOutlookMoveMessage"));
        QCOMPARE(Values(win, kDisposalBoxes), QList<int>({0, 0, 0}));
        QCOMPARE(Stored(Email_What_To_Do), QStringLiteral("3"));
        QVERIFY(All_Enabled(win, kDestinationControls, true));
    }

    void logging_and_alarm_save_the_box_value()
    {
        Open_Window w;
        QWidget* win = w.window.get();
        Click_Tab(win, QStringLiteral("Log"));
        Click_Box(Box(win, "chkEnableLogging"));
        QCOMPARE(Stored(Log_Enabled), QStringLiteral("1"));
        Click_Tab(win, QStringLiteral("Schedule Event"));
        Click_Box(Box(win, "chkRingAlarm"));
        QCOMPARE(Stored(ToDo_Alarm), QStringLiteral("1"));
        Click_Box(Box(win, "chkRingAlarm"));
        QCOMPARE(Stored({ToDo_Alarm, Log_Enabled}), QStringList({"0", "1"}));
        // The file itself holds the numbers.
        const QByteArray file = w.home.Read(w.home.Registry_File());
        QVERIFY2(file.contains("\"Log_Enabled\"=dword:00000001"), file.constData());
        QVERIFY2(file.contains("\"ToDo_Alarm\"=dword:00000000"), file.constData());
    }

    void contact_actions_come_back_as_left_after_a_restart_data()
    {
        // Boxes clicked after a first start (delete checked), and the four
        // contact boxes expected after the next start: delete, set field, clear
        // address, note.
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("untouched") << QStringList() << QList<int>({1, 0, 0, 0});
        QTest::newRow("set field") << QStringList({"chkSet_Field_In_Contact"}) << QList<int>({0, 1, 0, 0});
        QTest::newRow("clear address only")
            << QStringList({"chkClearEmailAddress"}) << QList<int>({0, 0, 1, 0});
        QTest::newRow("note only") << QStringList({"chkCreateanote"}) << QList<int>({0, 0, 0, 1});
        QTest::newRow("nothing") << QStringList({"chkContactDelete"}) << QList<int>({0, 0, 0, 0});
        QTest::newRow("set field, then off")
            << QStringList({"chkSet_Field_In_Contact", "chkSet_Field_In_Contact"})
            << QList<int>({0, 0, 0, 0});
        QTest::newRow("set field and clear")
            << QStringList({"chkSet_Field_In_Contact", "chkClearEmailAddress"}) << QList<int>({0, 1, 1, 0});
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
    }
};

QTEST_MAIN(Interlocks_Test)
#include "test_main_window_interlocks.moc"
