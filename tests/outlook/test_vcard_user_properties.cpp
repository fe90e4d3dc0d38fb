// User-defined contact fields: exact names and values through save and reload.

#include "outlook/Item_Files.h"
#include "vcard_test_support.h"

#include <gtest/gtest.h>

#include <iterator>

using namespace bc::outlook;
using bc::test::Contact_Folder;
using bc::test::Crlf;

namespace {

const QByteArray kCard = Crlf({"BEGIN:VCARD", "VERSION:3.0", "UID:u", "FN:User Props", "END:VCARD"});

} // namespace

TEST(VcardUserProperties, NastyNamesAndValuesRoundTripExactly)
{
    const std::pair<QString, QString> cases[] = {
        {"Bounce Status", "Bounced"},
        {"", "empty name"},
        {"colon:semi;comma,quote\"", "value: with; all, \"sorts\" \\ of % signs %41"},
        {"line\nbreak\r\nname", "cr\rlf\ncrlf\r\n\ttab and trailing blank "},
        {QStringLiteral("Grüße €"), QStringLiteral("日本語 ✓ 😀")},
        {"=?utf-8?q?x?=", ""},
        {"FullName", "a user property may share a standard name"},
        {"fullname", "and differ only in case"},
        {"  padded  ", QString(200, QLatin1Char('x')) + QStringLiteral("ü")},
    };
    Contact_Folder f;
    for (const char* version : {"3.0", "4.0", "2.1"}) {
        const QByteArray card = QByteArray(kCard).replace("3.0", version);
        auto c = f.Make("p.vcf", card);
        ASSERT_TRUE(c);
        for (const auto& [name, value] : cases)
            c->UserProperties().Add(name)->Set_Value(value);
        c->Save();
        EXPECT_TRUE(
            f.Read("p.vcf").contains("\r\nX-BRINDLECAST-USERPROP;X-NAME=Bounce%20Status:Bounced\r\n"));
        auto r = f.Load("p.vcf");
        ASSERT_TRUE(r);
        EXPECT_EQ(r->UserProperties().Count(), int(std::size(cases))) << version;
        for (const auto& [name, value] : cases) {
            User_Property* p = r->UserProperties().Find(name);
            ASSERT_NE(p, nullptr) << version << " " << name.toStdString();
            EXPECT_EQ(p->Name(), name);
            EXPECT_EQ(p->Value(), value) << version << " " << name.toStdString();
        }
        EXPECT_EQ(r->FullName(), "User Props"); // the standard field is untouched
    }
}

TEST(VcardUserProperties, AddFindAndDelete)
{
    Contact_Folder f;
    auto c = f.Make("p.vcf", kCard);
    User_Properties& props = c->UserProperties();
    EXPECT_EQ(props.Count(), 0);
    EXPECT_EQ(props.Find("Status"), nullptr);
    User_Property* a = props.Add("Status", olText);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Value(), "");
    a->Set_Value("one");
    EXPECT_EQ(props.Add("Status"), a); // the existing one, value kept
    EXPECT_EQ(a->Value(), "one");
    EXPECT_EQ(props.Find("status"), nullptr);
    EXPECT_EQ(props.Find("Status "), nullptr);
    EXPECT_THROW(props.Add("Number", 3), Outlook_Error); // only text properties
    props.Add("Other")->Set_Value("two");
    EXPECT_EQ(props.Count(), 2);
    c->Save();

    auto r = f.Load("p.vcf");
    r->UserProperties().Find("Status")->Delete();
    EXPECT_EQ(r->UserProperties().Find("Status"), nullptr);
    EXPECT_EQ(r->UserProperties().Count(), 1);
    r->Save();
    EXPECT_EQ(f.Read("p.vcf"), Crlf({"BEGIN:VCARD", "VERSION:3.0", "UID:u", "FN:User Props",
                                     "X-BRINDLECAST-USERPROP;X-NAME=Other:two", "END:VCARD"}));

    // Added again after its deletion: a fresh property.
    User_Property* again = r->UserProperties().Add("Status");
    EXPECT_EQ(again->Value(), "");
    EXPECT_EQ(r->UserProperties().Count(), 2);
}

TEST(VcardUserProperties, ValuesSurviveAnotherProgramsEscaping)
{
    // A program that rewrites the file may add vCard escapes and fold lines.
    Contact_Folder f;
    auto c = f.Make("p.vcf", Crlf({"BEGIN:VCARD", "VERSION:3.0", "UID:u", "FN:P",
                                   "X-BRINDLECAST-USERPROP;X-NAME=\"Bounce%20Status\":Bounced\\: see %2C n",
                                   " ote\\ntwo", "X-BRINDLECAST-USERPROP:no name, not ours", "END:VCARD"}));
    ASSERT_TRUE(c);
    EXPECT_EQ(c->UserProperties().Count(), 1);
    ASSERT_NE(c->UserProperties().Find("Bounce Status"), nullptr);
    EXPECT_EQ(c->UserProperties().Find("Bounce Status")->Value(), "Bounced: see , note\ntwo");
}
