// The standard contact field names and where each lands in a vCard.

#include "outlook/Contact_Fields.h"
#include "outlook/Item_Files.h"
#include "outlook/Mapi_Components.h"
#include "vcard_test_support.h"

#include <QMap>

#include <gtest/gtest.h>

using namespace bc::outlook;
using bc::test::Contact_Folder;
using bc::test::Crlf;

namespace {

const QByteArray kBase = Crlf({"BEGIN:VCARD", "VERSION:3.0", "UID:base", "FN:Base", "N:;;;;", "END:VCARD"});

// The line(s) each writable field writes into kBase when set to "Q1", from
// tests/data/contact-field-lines.tsv.
QMap<QString, QByteArray> Field_Lines()
{
    QMap<QString, QByteArray> lines;
    QFile file(bc::test::Testdata_Dir() + QStringLiteral("/contact-field-lines.tsv"));
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    file.readLine(); // column names
    while (!file.atEnd()) {
        const QList<QByteArray> columns = file.readLine().trimmed().split('\t');
        if (columns.size() == 2)
            lines.insert(QString::fromLatin1(columns[0]), QByteArray(columns[1]).replace("\\r\\n", "\r\n"));
    }
    return lines;
}

QStringList Writable_Names()
{
    QStringList out;
    for (const QString& name : Standard_Contact_Field_Names())
        if (Is_Writable_Contact_Field(name))
            out.append(name);
    return out;
}

// What a field reads on kBase after `written` was set: only the field itself
// and the whole address its part belongs to show the value.
QString Expected_Read(const QString& field, const QString& written, const QString& value)
{
    if (field == written)
        return value;
    const QStringList wholeAddresses = {"HomeAddress", "BusinessAddress", "MailingAddress", "OtherAddress"};
    if (wholeAddresses.contains(field) && written.startsWith(field))
        return value;
    if (field == QLatin1String("FullName"))
        return QStringLiteral("Base");
    if (field == QLatin1String("Journal"))
        return QStringLiteral("False");
    return QString();
}

} // namespace

TEST(ContactFieldNames, HundredStandardOfWhichSixAreRecognisedOnly)
{
    const QStringList names = Standard_Contact_Field_Names();
    EXPECT_EQ(names.size(), 100);
    EXPECT_EQ(names.first(), "Account");
    EXPECT_EQ(names.last(), "WebPage");
    EXPECT_EQ(Writable_Names().size(), 94);
    for (const char* recognisedOnly : {"Anniversary", "Birthday", "Email2AddressType", "Email3AddressType",
                                       "Gender", "OtherTelephoneNumber"}) {
        EXPECT_TRUE(Is_Standard_Contact_Field(recognisedOnly)) << recognisedOnly;
        EXPECT_FALSE(Is_Writable_Contact_Field(recognisedOnly)) << recognisedOnly;
    }
    for (const char* other : {"fullname", "FULLNAME", " FullName", "FullName ", "Full Name", "", "Importance",
                              "Sensitivity", "Email4Address"}) {
        EXPECT_FALSE(Is_Standard_Contact_Field(other)) << other;
        EXPECT_FALSE(Is_Writable_Contact_Field(other)) << other;
    }
}

TEST(ContactFieldMapping, EveryWritableFieldLandsInItsOwnVcardProperty)
{
    const QMap<QString, QByteArray> lands = Field_Lines();
    EXPECT_EQ(QStringList(lands.keys()), [] {
        QStringList w = Writable_Names();
        w.sort();
        return w;
    }());
    Contact_Folder f;
    const QStringList writable = Writable_Names();
    for (const QString& name : writable) {
        const QString value =
            name == QLatin1String("Journal") ? QStringLiteral("True") : QStringLiteral("Q1");
        auto c = f.Make("c.vcf", kBase);
        ASSERT_TRUE(c);
        c->Set_Standard_Field(name, value);
        EXPECT_EQ(c->Standard_Field(name), value) << name.toStdString();
        c->Save();
        const QByteArray saved = f.Read("c.vcf");
        EXPECT_TRUE(saved.contains("\r\n" + lands.value(name) + "\r\n")) << name.toStdString() << " wrote:\n"
                                                                         << saved.toStdString();
        auto r = f.Load("c.vcf");
        ASSERT_TRUE(r);
        for (const QString& other : writable)
            EXPECT_EQ(r->Standard_Field(other), Expected_Read(other, name, value))
                << other.toStdString() << " after setting " << name.toStdString();
    }
}

TEST(ContactFieldMapping, ForeignSpellingsAreReadAndChangedInPlace)
{
    Contact_Folder f;
    auto c = f.Make("k.vcf",
                    Crlf({"BEGIN:VCARD", "VERSION:3.0", "UID:k", "FN:K", "N:Kay;Karl;;;", "TEL;TYPE=work:111",
                          "TEL;TYPE=cell,pref:222", "TEL;VALUE=uri;TYPE=home:tel:+49-30-1", "TEL;FAX:333",
                          "TEL;TYPE=voice,pref:444", "item2.TEL:555",
                          "ADR;TYPE=home:;;Main St 1;Town;;12345;DE", "LABEL;TYPE=home:Main St 1\\nTown",
                          "URL:http://x.example", "ORG:Acme;Sales", "CATEGORIES:friends,work", "END:VCARD"}));
    ASSERT_TRUE(c);
    EXPECT_EQ(c->Standard_Field("BusinessTelephoneNumber"), "111");
    EXPECT_EQ(c->Standard_Field("MobileTelephoneNumber"), "222");
    EXPECT_EQ(c->Standard_Field("HomeTelephoneNumber"), "+49-30-1");
    EXPECT_EQ(c->Standard_Field("OtherFaxNumber"), "333");
    EXPECT_EQ(c->Standard_Field("PrimaryTelephoneNumber"), "444");
    EXPECT_EQ(c->Standard_Field("HomeAddressStreet"), "Main St 1");
    EXPECT_EQ(c->Standard_Field("HomeAddressCity"), "Town");
    EXPECT_EQ(c->Standard_Field("HomeAddressPostalCode"), "12345");
    EXPECT_EQ(c->Standard_Field("HomeAddress"), "Main St 1\r\nTown");
    EXPECT_EQ(c->Standard_Field("WebPage"), "http://x.example");
    EXPECT_EQ(c->Standard_Field("CompanyName"), "Acme");
    EXPECT_EQ(c->Standard_Field("Department"), "Sales");
    EXPECT_EQ(c->Standard_Field("Categories"), "friends, work");
    EXPECT_EQ(c->Standard_Field("FirstName"), "Karl");

    c->Set_Standard_Field("BusinessTelephoneNumber", "999");
    c->Set_Standard_Field("HomeTelephoneNumber", "+1 555");
    c->Set_Standard_Field("HomeAddressCity", "City");
    c->Set_Standard_Field("Department", "");
    c->Save();
    const QByteArray saved = f.Read("k.vcf");
    EXPECT_TRUE(saved.contains("\r\nTEL;TYPE=work:999\r\n"));
    EXPECT_TRUE(saved.contains("\r\nTEL;TYPE=home:+1 555\r\n")); // written as text now
    EXPECT_TRUE(saved.contains("\r\nADR;TYPE=home:;;Main St 1;City;;12345;DE\r\n"));
    EXPECT_TRUE(saved.contains("\r\nORG:Acme\r\n"));
    EXPECT_TRUE(saved.contains("\r\nitem2.TEL:555\r\n"));
    EXPECT_EQ(saved.count("TEL"), 6); // changed in place, nothing added

    // Version 4.0 marks the primary phone with PREF.
    auto v4 = f.Make("v4.vcf", "BEGIN:VCARD\nVERSION:4.0\nUID:v4\nFN:V\nEND:VCARD\n");
    v4->Set_Standard_Field("PrimaryTelephoneNumber", "+1");
    v4->Save();
    EXPECT_TRUE(f.Read("v4.vcf").contains("\nTEL;TYPE=VOICE;PREF=1:+1\n"));
    EXPECT_EQ(f.Load("v4.vcf")->Standard_Field("PrimaryTelephoneNumber"), "+1");
}

TEST(ContactFieldMapping, EmptyTextClearsTheField)
{
    Contact_Folder f;
    auto c = f.Make("e.vcf",
                    Crlf({"BEGIN:VCARD", "VERSION:3.0", "UID:e", "FN:E", "N:Last;First;;;", "TITLE:Boss",
                          "ORG:Acme;Sales", "ADR;TYPE=HOME:;;Street;Town;;;", "LABEL;TYPE=HOME:Street\\nTown",
                          "ADR;TYPE=WORK:;;Office;Town;;;", "CATEGORIES:a,b", "END:VCARD"}));
    for (const char* name :
         {"JobTitle", "FullName", "LastName", "Department", "HomeAddressStreet", "Categories"})
        c->Set_Standard_Field(name, "");
    c->Save();
    EXPECT_EQ(f.Read("e.vcf"), Crlf({"BEGIN:VCARD", "VERSION:3.0", "UID:e", "FN:", "N:;First;;;", "ORG:Acme",
                                     "ADR;TYPE=HOME:;;;Town;;;", "LABEL;TYPE=HOME:Street\\nTown",
                                     "ADR;TYPE=WORK:;;Office;Town;;;", "END:VCARD"}));

    // The whole address goes with its label; the business address stays.
    c->Set_Standard_Field("HomeAddress", "");
    c->Set_Standard_Field("CompanyName", "");
    c->Save();
    EXPECT_EQ(f.Read("e.vcf"), Crlf({"BEGIN:VCARD", "VERSION:3.0", "UID:e", "FN:", "N:;First;;;",
                                     "ADR;TYPE=WORK:;;Office;Town;;;", "END:VCARD"}));
}

TEST(ContactFieldMapping, AWholeAddressAndItsStreetAreSeparateWrites)
{
    Contact_Folder f;
    auto c = f.Make("a.vcf", kBase);
    c->Set_Standard_Field("HomeAddressStreet", "1 Elm St");
    c->Set_Standard_Field("HomeAddressCity", "Springfield");
    EXPECT_EQ(c->Standard_Field("HomeAddress"), "1 Elm St\r\nSpringfield"); // composed while it has no label
    c->Set_Standard_Field("HomeAddress", "PO Box 9\r\nShelbyville");
    EXPECT_EQ(c->Standard_Field("HomeAddress"), "PO Box 9\r\nShelbyville");
    EXPECT_EQ(c->Standard_Field("HomeAddressStreet"), "1 Elm St");
    c->Save();
    EXPECT_TRUE(f.Read("a.vcf").contains("\r\nLABEL;TYPE=HOME:PO Box 9\\nShelbyville\r\n"));
}

TEST(ContactFieldMapping, SpecialCharactersRoundTrip)
{
    Contact_Folder f;
    auto c = f.Make("s.vcf", kBase);
    const QString title = QStringLiteral("R&D; \"lab\", back\\slash: ünï €");
    c->Set_Standard_Field("JobTitle", title);
    c->Set_Standard_Field("Categories", "one, two;three,,  four ");
    c->Set_Standard_Field("CompanyName", "A;B");
    c->Save();
    const QByteArray saved = f.Read("s.vcf");
    EXPECT_TRUE(saved.contains("\r\nCATEGORIES:one,two\\;three,four\r\n"));
    EXPECT_TRUE(saved.contains("\r\nORG:A\\;B\r\n"));
    auto r = f.Load("s.vcf");
    EXPECT_EQ(r->Standard_Field("JobTitle"), title);
    EXPECT_EQ(r->Standard_Field("Categories"), "one, two;three, four");
    EXPECT_EQ(r->Standard_Field("CompanyName"), "A;B");
    EXPECT_EQ(r->Standard_Field("Department"), "");
}

TEST(ContactFieldMapping, NamesAndValuesItCannotTakeThrowAndChangeNothing)
{
    Contact_Folder f;
    auto c = f.Make("x.vcf", kBase);
    for (const char* name :
         {"Birthday", "Gender", "OtherTelephoneNumber", "fullname", " FullName", "", "Importance"}) {
        EXPECT_THROW(c->Set_Standard_Field(name, "v"), Outlook_Error) << name;
        EXPECT_THROW(c->Standard_Field(name), Outlook_Error) << name;
    }
    EXPECT_THROW(c->Set_Standard_Field("Journal", "maybe"), Outlook_Error);
    EXPECT_THROW(c->Set_Standard_Field("Journal", ""), Outlook_Error);
    EXPECT_THROW(c->Set_Standard_Field("JobTitle", QString(QChar(0))), Outlook_Error);
    c->Save();
    EXPECT_EQ(f.Read("x.vcf"), kBase);

    c->Set_Standard_Field("Journal", "-1");
    EXPECT_EQ(c->Standard_Field("Journal"), "True");
    c->Set_Standard_Field("Journal", "false");
    EXPECT_EQ(c->Standard_Field("Journal"), "False");
}

TEST(SetContactField, AStandardFieldIsSetButNotSaved)
{
    Contact_Folder f;
    QuorinContactItem helper;
    helper.Set_Item(f.Make("c.vcf", kBase));
    Set_Contact_Field("CompanyName", "Bounced Inc.", helper);
    EXPECT_EQ(helper.Item()->Standard_Field("CompanyName"), "Bounced Inc.");
    EXPECT_EQ(f.Read("c.vcf"), kBase); // the caller saves
    helper.Save();
    EXPECT_EQ(f.Load("c.vcf")->Standard_Field("CompanyName"), "Bounced Inc.");

    Set_Contact_Field("CompanyName", "", helper);
    helper.Save();
    EXPECT_EQ(f.Read("c.vcf"), kBase);
}

TEST(SetContactField, OtherNamesBecomeTextUserPropertiesAndAreSaved)
{
    Contact_Folder f;
    QuorinContactItem helper;
    helper.Set_Item(f.Make("c.vcf", kBase));
    const QStringList names = {"Birthday",
                               "Anniversary",
                               "Email2AddressType",
                               "Email3AddressType",
                               "Gender",
                               "OtherTelephoneNumber",
                               "companyname",
                               " CompanyName",
                               "CompanyName ",
                               "Importance",
                               "Sensitivity",
                               "Bounce Status",
                               ""};
    for (const QString& name : names)
        Set_Contact_Field(name, "v:" + name, helper);
    auto r = f.Load("c.vcf"); // saved by each call
    ASSERT_TRUE(r);
    EXPECT_EQ(r->UserProperties().Count(), names.size());
    for (const QString& name : names) {
        User_Property* p = r->UserProperties().Find(name);
        ASSERT_NE(p, nullptr) << name.toStdString();
        EXPECT_EQ(p->Value(), "v:" + name);
    }
    EXPECT_EQ(r->Standard_Field("CompanyName"), "");

    // Writing the same name again changes the one property, and "" clears it.
    Set_Contact_Field("Bounce Status", "", helper);
    r = f.Load("c.vcf");
    EXPECT_EQ(r->UserProperties().Count(), names.size());
    EXPECT_EQ(r->UserProperties().Find("Bounce Status")->Value(), "");
}

TEST(SetContactField, FailuresEndSilently)
{
    Contact_Folder f;
    QuorinContactItem none;
    Set_Contact_Field("CompanyName", "x", none); // no contact held
    Set_Contact_Field("Status", "x", none);

    QuorinContactItem helper;
    helper.Set_Item(f.Make("c.vcf", kBase));
    Set_Contact_Field("Journal", "not a yes/no value", helper);
    EXPECT_EQ(helper.Item()->Standard_Field("Journal"), "False");

    // The file changed under the run: the user property is not saved over it.
    const QByteArray theirs = QByteArray(kBase).replace("FN:Base", "FN:Theirs");
    f.Write("c.vcf", theirs);
    Set_Contact_Field("Status", "Bounced", helper);
    EXPECT_EQ(f.Read("c.vcf"), theirs);

    // A deleted contact takes nothing.
    helper.Delete();
    Set_Contact_Field("Status", "again", helper);
    Set_Contact_Field("JobTitle", "again", helper);
    EXPECT_FALSE(QFile::exists(f.Path("c.vcf")));
}
