#include "config/Registry_Routines.h"
#include "engine/Stored_Choices.h"
#include "support/Temp_Home.h"

#include <gtest/gtest.h>

using namespace bc;

// The main window stores 2 when neither the delete box nor the set-field box
// is checked; a run made from the settings must then never delete.
TEST(StoredChoices, NeitherBoxStoredNeverDeletes)
{
    test::Temp_Home home;
    engine::Stored_Contact_Action_Choices stored;
    Save_Setting(Contact_Action, 2);
    Save_Setting(bc::Clear_Email_Address, 1);
    Save_Setting(CreateANote, 1);
    EXPECT_EQ(stored.Contact_Delete(), 0);
    EXPECT_EQ(stored.Set_Field_In_Contact(), 0);
    EXPECT_EQ(stored.Clear_Email_Address(), 1);
    EXPECT_EQ(stored.Create_A_Note(), 1);

    // Any other value restores the delete box, which clears the others.
    Save_Setting(Contact_Action, 0);
    EXPECT_EQ(stored.Contact_Delete(), 1);
    EXPECT_EQ(stored.Clear_Email_Address(), 0);
    EXPECT_EQ(stored.Create_A_Note(), 0);
}
