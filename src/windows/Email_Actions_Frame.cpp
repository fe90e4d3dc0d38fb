#include "windows/Email_Actions_Frame.h"

#include "config/Registry_Routines.h"
#include "windows/Folder_Picker.h"
#include "windows/Option_Check_Box.h"

#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

namespace bc::windows {

Email_Actions_Frame::Email_Actions_Frame(QWidget* parent) : QGroupBox(QStringLiteral("Email Actions"), parent)
{
    setObjectName(QStringLiteral("FrameEmailActions"));

    auto* options = new QFrame(this);
    options->setObjectName(QStringLiteral("FrameEmailOptions"));
    auto* heading = new QLabel(QStringLiteral("Action to take with the returned email"), options);
    heading->setObjectName(QStringLiteral("lblEmailAction"));
    chkOutlookLeaveMessage_ = new Option_Check_Box(QStringLiteral("chkOutlookLeaveMessage"),
                                                   QStringLiteral("Leave retur&ned email in Inbox"), options);
    chkOutlookRemoveMessage_ =
        new Option_Check_Box(QStringLiteral("chkOutlookRemoveMessage"),
                             QStringLiteral("&Delete Returned Email From Inbox"), options);
    chkOutlookMoveMessage_ =
        new Option_Check_Box(QStringLiteral("chkOutlookMoveMessage"),
                             QStringLiteral("Move Email From In&box to Another Outlook Folder"), options);
    destination_ = new Folder_Picker(Folder_Picker::Destination, options);

    auto* box = new QVBoxLayout(options);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(heading);
    box->addWidget(chkOutlookLeaveMessage_);
    box->addWidget(chkOutlookRemoveMessage_);
    box->addWidget(chkOutlookMoveMessage_);
    auto* indented = new QVBoxLayout;
    indented->setContentsMargins(24, 0, 0, 0); // the destination belongs to the move box
    indented->addWidget(destination_);
    box->addLayout(indented);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(options);
    layout->addStretch(1);

    connect(chkOutlookLeaveMessage_, &Option_Check_Box::Value_Changed, this,
            &Email_Actions_Frame::Leave_Changed);
    connect(chkOutlookRemoveMessage_, &Option_Check_Box::Value_Changed, this,
            &Email_Actions_Frame::Remove_Changed);
    connect(chkOutlookMoveMessage_, &Option_Check_Box::Value_Changed, this,
            &Email_Actions_Frame::Move_Changed);
}

void Email_Actions_Frame::Restore_Disposal(int choice)
{
    switch (choice) {
    case 1:
        chkOutlookLeaveMessage_->Set_Value(1);
        break;
    case 2:
        chkOutlookRemoveMessage_->Set_Value(1);
        break;
    case 3:
        chkOutlookMoveMessage_->Set_Value(1);
        destination_->Restore();
        break;
    default:
        break;
    }
}

void Email_Actions_Frame::Leave_Changed(int value)
{
    if (value != 1)
        return;
    Save_Setting(Email_What_To_Do, 1);
    chkOutlookMoveMessage_->Set_Value(0);
    chkOutlookRemoveMessage_->Set_Value(0);
    destination_->Set_Controls_Enabled(false);
}

void Email_Actions_Frame::Remove_Changed(int value)
{
    if (value != 1)
        return;
    Save_Setting(Email_What_To_Do, 2);
    chkOutlookMoveMessage_->Set_Value(0);
    chkOutlookLeaveMessage_->Set_Value(0);
    destination_->Set_Controls_Enabled(false);
}

void Email_Actions_Frame::Move_Changed(int value)
{
    if (value != 1)
        return;
    Save_Setting(Email_What_To_Do, 3);
    chkOutlookLeaveMessage_->Set_Value(0);
    chkOutlookRemoveMessage_->Set_Value(0);
    destination_->Set_Controls_Enabled(true);
}

} // namespace bc::windows
