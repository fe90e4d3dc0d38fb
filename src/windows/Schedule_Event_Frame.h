#pragma once
// The "Schedule Event" page: the to-do that is scheduled for a contact whose
// address bounced.

#include <QGroupBox>

class QComboBox;
class QLineEdit;

namespace bc::windows {

class Option_Check_Box;

class Schedule_Event_Frame : public QGroupBox
{
    Q_OBJECT

public:
    explicit Schedule_Event_Frame(QWidget* parent = nullptr);

    // Start-up: the three texts from ToDo_Status, ToDo_Regarding and
    // ToDo_Priority. Missing settings give empty texts, not the defaults.
    void Restore_Texts();
    // Start-up: the alarm box from ToDo_Alarm.
    void Restore_Ring_Alarm();

    QComboBox* Event_Combo() const { return ComboEvent_; }
    QLineEdit* Regarding_Box() const { return txtRegarding_; }
    QComboBox* Priority_Combo() const { return ComboPriority_; }
    Option_Check_Box* Ring_Alarm_Box() const { return chkRingAlarm_; }

private:
    QComboBox* ComboEvent_ = nullptr;
    QLineEdit* txtRegarding_ = nullptr;
    QComboBox* ComboPriority_ = nullptr;
    Option_Check_Box* chkRingAlarm_ = nullptr;
};

} // namespace bc::windows
