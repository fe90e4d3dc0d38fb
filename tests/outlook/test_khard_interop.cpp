// khard, with which many users keep their vCard folders, still reads the
// contacts after the program cleared an address, set fields, added a note and
// a user property. scripts/setup.sh installs khard.

#include "outlook/Item_Files.h"
#include "support/Khard.h"
#include "vcard_test_support.h"

#include <gtest/gtest.h>

using namespace bc::outlook;
using bc::test::Contact_Folder;
using bc::test::Crlf;

namespace {

bc::test::Khard_Result Khard(const Contact_Folder& f, const QStringList& arguments)
{
    return bc::test::Run_Khard(f.Home().Path(), f.Folder(), arguments);
}

} // namespace

TEST(KhardInterop, ReadsContactsTheProgramChanged)
{
    ASSERT_TRUE(bc::test::Have_Khard()) << "khard is missing: run scripts/setup.sh";
    Contact_Folder f;
    auto jane = f.Make("jane.vcf",
                       Crlf({"BEGIN:VCARD", "VERSION:3.0", "UID:jane-uid-1", "FN:Jane Doe", "N:Doe;Jane;;;",
                             "EMAIL;TYPE=WORK:jane@bounced.example", "EMAIL;TYPE=HOME:jane@home.example",
                             "EMAIL:jane@third.example", "END:VCARD"}));
    auto rick = f.Make("rick.vcf", "BEGIN:VCARD\nVERSION:4.0\nUID:rick-uid-2\nFN:Rick Roe\nN:Roe;Rick;;;\n"
                                   "EMAIL:rick@bounced.example\nEND:VCARD\n");
    ASSERT_TRUE(jane && rick);

    jane->Set_Email_Address(1, "");
    jane->Set_Standard_Field("JobTitle", "Bounce Checker");
    jane->Set_Standard_Field("CompanyName", "Acme; Inc.");
    jane->Set_Body("\r\nReturned Email --------------------------\r\n\r\nDelivery failed: 550, user unknown");
    jane->UserProperties().Add("Bounce Status")->Set_Value("Bounced");
    jane->Save();
    rick->Set_Email_Address(1, "");
    rick->Set_Standard_Field("HomeTelephoneNumber", "+1 555 0100");
    rick->Save();

    const bc::test::Khard_Result list = Khard(f, {"list"});
    ASSERT_EQ(list.Exit_Code, 0) << list.Err.toStdString();
    EXPECT_TRUE(list.Out.contains("Jane Doe")) << list.Out.toStdString();
    EXPECT_TRUE(list.Out.contains("Rick Roe")) << list.Out.toStdString();
    EXPECT_FALSE(list.Err.contains("rror")) << list.Err.toStdString();

    const bc::test::Khard_Result show = Khard(f, {"show", "--format", "yaml", "jane-uid-1"});
    ASSERT_EQ(show.Exit_Code, 0) << show.Err.toStdString();
    EXPECT_TRUE(show.Out.contains("Title: Bounce Checker")) << show.Out.toStdString();
    EXPECT_TRUE(show.Out.contains("Acme; Inc.")) << show.Out.toStdString();
    EXPECT_TRUE(show.Out.contains("Returned Email --------------------------")) << show.Out.toStdString();
    EXPECT_TRUE(show.Out.contains("Delivery failed: 550, user unknown")) << show.Out.toStdString();
    EXPECT_TRUE(show.Out.contains("jane@home.example"));
    EXPECT_TRUE(show.Out.contains("jane@third.example"));
    EXPECT_FALSE(show.Out.contains("jane@bounced.example"));

    const bc::test::Khard_Result rickShow = Khard(f, {"show", "--format", "yaml", "rick-uid-2"});
    ASSERT_EQ(rickShow.Exit_Code, 0) << rickShow.Err.toStdString();
    EXPECT_TRUE(rickShow.Out.contains("+1 555 0100")) << rickShow.Out.toStdString();
    EXPECT_FALSE(rickShow.Out.contains("rick@bounced.example"));
}
