#include "windows/Log_Frame.h"

#include "config/Registry_Routines.h"
#include "engine/Journal_Records.h"
#include "windows/Log_Actions.h"
#include "windows/Option_Check_Box.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace bc::windows {

Log_Frame::Log_Frame(QWidget* parent) : QGroupBox(QStringLiteral("Log"), parent)
{
    setObjectName(QStringLiteral("FrameLog"));

    chkEnableLogging_ =
        new Option_Check_Box(QStringLiteral("chkEnableLogging"), QStringLiteral("Ena&ble Logging"), this);
    auto* note = new QLabel(
        QStringLiteral("Every progress line of a run is added to the log with its date and time."), this);
    note->setObjectName(QStringLiteral("lblLogNote"));
    note->setWordWrap(true);
    note->setEnabled(false); // a hint, shown dimmed
    ClearLog_ = new QPushButton(QStringLiteral("Cl&ear Log"), this);
    ClearLog_->setObjectName(QStringLiteral("ClearLog"));
    OpenLog_ = new QPushButton(QStringLiteral("Ope&n Log"), this);
    OpenLog_->setObjectName(QStringLiteral("OpenLog"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(OpenLog_);
    buttons->addWidget(ClearLog_);
    buttons->addStretch(1);

    // Each run's journal (for "Undo Last Run") and report are kept for this many runs.
    auto* keepLabel = new QLabel(QStringLiteral("&Keep the journal and report of the last"), this);
    keepLabel->setObjectName(QStringLiteral("lblRunsToKeep"));
    txtRunsToKeep_ = new QSpinBox(this);
    txtRunsToKeep_->setObjectName(QStringLiteral("txtRunsToKeep"));
    txtRunsToKeep_->setRange(1, 9999);
    txtRunsToKeep_->setValue(engine::kDefaultRunsToKeep);
    keepLabel->setBuddy(txtRunsToKeep_);
    auto* runsLabel = new QLabel(QStringLiteral("runs"), this);
    auto* keep = new QHBoxLayout;
    keep->addWidget(keepLabel);
    keep->addWidget(txtRunsToKeep_);
    keep->addWidget(runsLabel);
    keep->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(chkEnableLogging_);
    layout->addWidget(note);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->addSpacing(6);
    layout->addLayout(keep);
    layout->addStretch(1);

    connect(chkEnableLogging_, &Option_Check_Box::Value_Changed, this,
            [](int value) { Save_Setting(Log_Enabled, value); });
    connect(txtRunsToKeep_, &QSpinBox::valueChanged, this,
            [](int value) { Save_Setting(Runs_To_Keep, value); });
    connect(ClearLog_, &QPushButton::clicked, this, [] { Clear_Log(); });
    connect(OpenLog_, &QPushButton::clicked, this, [this] { Open_Log(window()); });
}

void Log_Frame::Restore_Logging()
{
    chkEnableLogging_->Set_Value(Setting_Number(Get_Setting(Log_Enabled)));
    // Restoring the box does not write the setting; a change by the user does.
    const QSignalBlocker quiet(txtRunsToKeep_);
    txtRunsToKeep_->setValue(engine::Kept_Run_Count());
}

} // namespace bc::windows
