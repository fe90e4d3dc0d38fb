#pragma once
// The "Email Actions" page: what happens to a returned message after its
// contacts were handled (left, deleted, or moved to the destination folder).
// One disposal box is meant to be checked; unchecking the checked one leaves
// none checked and the stored choice unchanged.

#include <QGroupBox>

namespace bc::windows {

class Folder_Picker;
class Option_Check_Box;

class Email_Actions_Frame : public QGroupBox
{
    Q_OBJECT

public:
    explicit Email_Actions_Frame(QWidget* parent = nullptr);

    // Start-up: checks the box of a stored choice 1 (leave), 2 (delete) or
    // 3 (move, which also shows the stored destination again).
    void Restore_Disposal(int choice);

    Option_Check_Box* Leave_Box() const { return chkOutlookLeaveMessage_; }
    Option_Check_Box* Remove_Box() const { return chkOutlookRemoveMessage_; }
    Option_Check_Box* Move_Box() const { return chkOutlookMoveMessage_; }
    Folder_Picker* Destination() const { return destination_; }

private:
    void Leave_Changed(int value);
    void Remove_Changed(int value);
    void Move_Changed(int value);

    Option_Check_Box* chkOutlookLeaveMessage_ = nullptr;
    Option_Check_Box* chkOutlookRemoveMessage_ = nullptr;
    Option_Check_Box* chkOutlookMoveMessage_ = nullptr;
    Folder_Picker* destination_ = nullptr;
};

} // namespace bc::windows
