#pragma once
// The "Contact Action" page: what happens to a contact whose address bounced.
// Deleting the contact excludes every other action; clearing the address,
// attaching a note and setting a field combine. Every control writes its
// setting the moment it changes.

#include <QGroupBox>

class QLabel;
class QLineEdit;
class QPushButton;

namespace bc::windows {

class Option_Check_Box;

class Contact_Action_Frame : public QGroupBox
{
    Q_OBJECT

public:
    explicit Contact_Action_Frame(QWidget* parent = nullptr);

    // Start-up: the note box from CreateANote.
    void Restore_Create_A_Note();
    // Start-up: Contact_Action 1 checks the set-field box, 2 neither box,
    // anything else (missing too) the delete box; then the clear-address box
    // from Clear_Email_Address.
    void Restore_Contact_Action();

    Option_Check_Box* Delete_Box() const { return chkContactDelete_; }
    Option_Check_Box* Set_Field_Box() const { return chkSet_Field_In_Contact_; }
    Option_Check_Box* Clear_Address_Box() const { return chkClearEmailAddress_; }
    Option_Check_Box* Note_Box() const { return chkCreateanote_; }
    QLineEdit* Field_Box() const { return txtFieldToBeSet_; }
    QLineEdit* Value_Box() const { return txtValue_; }
    QPushButton* Select_Field_Button() const { return SelectField_; }

private:
    void Delete_Changed(int value);
    void Set_Field_Changed(int value);
    void Clear_Address_Changed(int value);
    void Note_Changed(int value);
    void Save_Contact_Action();
    void Enable_Field_Controls(bool enabled);
    void Refill_Field_Texts();

    Option_Check_Box* chkContactDelete_ = nullptr;
    Option_Check_Box* chkSet_Field_In_Contact_ = nullptr;
    QLabel* lblField_ = nullptr;
    QLineEdit* txtFieldToBeSet_ = nullptr;
    QPushButton* SelectField_ = nullptr;
    QLabel* lblFieldValue_ = nullptr;
    QLineEdit* txtValue_ = nullptr;
    Option_Check_Box* chkClearEmailAddress_ = nullptr;
    Option_Check_Box* chkCreateanote_ = nullptr;
};

} // namespace bc::windows
