#include "engine/Stored_Choices.h"

#include "config/Registry_Routines.h"

namespace bc::engine {

namespace {

bool Set_Field_Chosen()
{
    return Setting_Number(Get_Setting(Contact_Action)) == 1;
}

} // namespace

int Stored_Contact_Action_Choices::Contact_Delete() const
{
    return Set_Field_Chosen() ? 0 : 1;
}

int Stored_Contact_Action_Choices::Set_Field_In_Contact() const
{
    return Set_Field_Chosen() ? 1 : 0;
}

int Stored_Contact_Action_Choices::Create_A_Note() const
{
    return Set_Field_Chosen() ? Setting_Number(Get_Setting(CreateANote)) : 0;
}

int Stored_Contact_Action_Choices::Clear_Email_Address() const
{
    return Set_Field_Chosen() ? Setting_Number(Get_Setting(bc::Clear_Email_Address)) : 0;
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
