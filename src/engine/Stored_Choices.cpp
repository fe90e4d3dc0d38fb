#include "engine/Stored_Choices.h"

#include "config/Registry_Routines.h"

namespace bc::engine {

namespace {

// Contact_Action: 1 set-field box, 2 neither box (the main window stores it
// so that a user who only clears addresses never gets deletes), anything
// else the delete box.
int Stored_Action()
{
    return Setting_Number(Get_Setting(Contact_Action));
}

bool Set_Field_Chosen()
{
    return Stored_Action() == 1;
}

bool Delete_Chosen()
{
    return Stored_Action() != 1 && Stored_Action() != 2;
}

} // namespace

int Stored_Contact_Action_Choices::Contact_Delete() const
{
    return Delete_Chosen() ? 1 : 0;
}

int Stored_Contact_Action_Choices::Set_Field_In_Contact() const
{
    return Set_Field_Chosen() ? 1 : 0;
}

int Stored_Contact_Action_Choices::Create_A_Note() const
{
    return Delete_Chosen() ? 0 : Setting_Number(Get_Setting(CreateANote));
}

int Stored_Contact_Action_Choices::Clear_Email_Address() const
{
    return Delete_Chosen() ? 0 : Setting_Number(Get_Setting(bc::Clear_Email_Address));
}

QString Stored_Contact_Action_Choices::Field_To_Be_Set() const
{
    return Get_Setting(Contact_Field_To_Set);
}

QString Stored_Contact_Action_Choices::Field_Value() const
{
    return Get_Setting(Contact_Value_To_Set);
}

QString Stored_Contact_Action_Choices::Event_Text() const
{
    return Get_Setting(ToDo_Status);
}

} // namespace bc::engine
