// The contact field picker opened with the main window's "..." button: the
// offered names, Select, Cancel and user-defined names.

#include "Main_Window_Support.h"
#include "outlook/Contact_Fields.h"
#include "windows/frmSelectOutlookField.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

using namespace bc;
using namespace bc::test;
using bc::windows::frmSelectOutlookField;
using bc::windows::Message_Box;

namespace {

const QString kPrompt = QStringLiteral("Enter the name of the user defined property.");

// Clicks "..." and runs `act` on the modal picker; the picker is closed
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

QStringList Rows(const QTreeWidget* list)
{
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        rows << list->topLevelItem(i)->text(0);
    return rows;
}

const QStringList kSetField = {"\"Contact_Action\"=dword:00000001", "\"Contact_Field_To_Set\"=\"User1\""};

} // namespace

class Field_Picker_Test : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { windows::Install_Message_Boxes(); }
    void init() { Message_Box::setUnattended(true); }

    void offers_the_ninety_names_sorted()
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

    void select_and_cancel_data()
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
    void select_and_cancel()
    {
        QFETCH(QString, typed);
        QFETCH(QString, button);
        QFETCH(QString, field);
        QFETCH(QStringList, shown);
        const bool added = typed.contains(QLatin1Char(' '));
        Open_Window w(kSetField);
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
};

QTEST_MAIN(Field_Picker_Test)
#include "test_field_picker.moc"
