#include "windows/Schedule_Event_Frame.h"

#include "config/Registry_Routines.h"
#include "windows/Option_Check_Box.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

namespace bc::windows {
namespace {

QComboBox* Editable_Combo(const QString& name, const QStringList& items, const QString& text, QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(true);
    // Typed texts are settings, not new list entries.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(items);
    combo->setCurrentText(text);
    return combo;
}

} // namespace

Schedule_Event_Frame::Schedule_Event_Frame(QWidget* parent)
    : QGroupBox(QStringLiteral("Schedule a To Do when Contact Is Found"), parent)
{
    setObjectName(QStringLiteral("frameScheduleEvent"));

    ComboEvent_ =
        Editable_Combo(QStringLiteral("ComboEvent"), {QStringLiteral("<None>"), QStringLiteral("Task")},
                       QStringLiteral("<None>"), this);
    txtRegarding_ = new QLineEdit(QStringLiteral("Returned Email"), this);
    txtRegarding_->setObjectName(QStringLiteral("txtRegarding"));
    ComboPriority_ = Editable_Combo(QStringLiteral("ComboPriority"),
                                    {QStringLiteral("Low"), QStringLiteral("Medium"), QStringLiteral("High")},
                                    QStringLiteral("High"), this);
    chkRingAlarm_ = new Option_Check_Box(QStringLiteral("chkRingAlarm"), QStringLiteral("Ri&ng Alarm"), this);

    auto* layout = new QFormLayout(this);
    layout->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    const auto addRow = [&](const QString& labelName, const QString& caption, QWidget* field) {
        auto* label = new QLabel(caption, this);
        label->setObjectName(labelName);
        label->setBuddy(field);
        layout->addRow(label, field);
    };
    addRow(QStringLiteral("lblEvent"), QStringLiteral("Event"), ComboEvent_);
    addRow(QStringLiteral("lblRegarding"), QStringLiteral("Regarding"), txtRegarding_);
    addRow(QStringLiteral("lblPriority"), QStringLiteral("Priority"), ComboPriority_);
    layout->addRow(chkRingAlarm_);

    // The event is saved when one is chosen from the list, not while typing.
    connect(ComboEvent_, &QComboBox::activated, this,
            [this] { Save_Setting(ToDo_Status, ComboEvent_->currentText()); });
    connect(txtRegarding_, &QLineEdit::textChanged, this,
            [](const QString& text) { Save_Setting(ToDo_Regarding, text); });
    connect(ComboPriority_, &QComboBox::editTextChanged, this,
            [](const QString& text) { Save_Setting(ToDo_Priority, text); });
    connect(chkRingAlarm_, &Option_Check_Box::Value_Changed, this,
            [](int value) { Save_Setting(ToDo_Alarm, value); });
}

void Schedule_Event_Frame::Restore_Texts()
{
    ComboEvent_->setEditText(Get_Setting(ToDo_Status));
    txtRegarding_->setText(Get_Setting(ToDo_Regarding));
    ComboPriority_->setEditText(Get_Setting(ToDo_Priority));
}

void Schedule_Event_Frame::Restore_Ring_Alarm()
{
    chkRingAlarm_->Set_Value(Setting_Number(Get_Setting(ToDo_Alarm)));
}

} // namespace bc::windows
