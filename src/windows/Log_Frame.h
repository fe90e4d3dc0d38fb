#pragma once
// The "Log" page: the run log's switch and its two buttons.

#include <QGroupBox>

class QPushButton;
class QSpinBox;

namespace bc::windows {

class Option_Check_Box;

class Log_Frame : public QGroupBox
{
    Q_OBJECT

public:
    explicit Log_Frame(QWidget* parent = nullptr);

    // Start-up: the logging box from Log_Enabled, and how many runs keep
    // their journal and report from Runs_To_Keep.
    void Restore_Logging();

    Option_Check_Box* Logging_Box() const { return chkEnableLogging_; }
    QPushButton* Clear_Button() const { return ClearLog_; }
    QPushButton* Open_Button() const { return OpenLog_; }
    QSpinBox* Runs_To_Keep_Box() const { return txtRunsToKeep_; }

private:
    QPushButton* ClearLog_ = nullptr;
    QPushButton* OpenLog_ = nullptr;
    Option_Check_Box* chkEnableLogging_ = nullptr;
    QSpinBox* txtRunsToKeep_ = nullptr;
};

} // namespace bc::windows
