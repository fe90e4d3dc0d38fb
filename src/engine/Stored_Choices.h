#pragma once
// The contact-action choices as the main window restores them from the
// settings, for a run that has no window to read them from.

#include "engine/Run_Interfaces.h"

namespace bc::engine {

// Read from the settings at each call, so a change made during a run applies
// from the next contact, as with the window's controls. The delete box is
// checked unless Contact_Action is 1 (set field) or 2 (neither box), and
// checking it clears the note and clear-address boxes.
class Stored_Contact_Action_Choices : public Contact_Action_Choices
{
public:
    int Contact_Delete() const override;
    int Create_A_Note() const override;
    int Clear_Email_Address() const override;
    int Set_Field_In_Contact() const override;
    QString Field_To_Be_Set() const override;
    QString Field_Value() const override;
    QString Event_Text() const override;
};

} // namespace bc::engine
