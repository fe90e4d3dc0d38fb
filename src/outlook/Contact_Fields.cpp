#include "outlook/Contact_Fields.h"

#include "outlook/Mapi_Components.h"
#include "outlook/Object_Model.h"
#include "outlook/Vcard_Document.h"

#include <QHash>

#include <libebook-contacts/libebook-contacts.h>

#include <algorithm>
#include <functional>

namespace bc::outlook {
namespace {

enum class Kind
{
    Recognised, // standard, but written as a user property
    Text,
    Full_Name,
    Name_Part,
    Org_Part,
    Address_Part,
    Address_Whole,
    Phone,
    Email,
    Web,
    Categories,
    Journal,
};

// The telephone kinds, told apart by the TYPE values that Evolution writes.
enum Phone_Kind
{
    Assistant,
    Business,
    Business_Fax,
    Callback,
    Car,
    Company,
    Home,
    Home_Fax,
    Isdn,
    Mobile,
    Other_Fax,
    Pager,
    Primary,
    Radio,
    Telex,
    Tty,
    Other_Phone,
};

enum Address_Kind
{
    Home_Address,
    Business_Address,
    Mailing_Address,
    Other_Address
};
enum Web_Kind
{
    Personal_Page,
    Business_Page,
    Web_Page
};

struct Field_Entry
{
    const char* Name;
    Kind Type;
    const char* Property = nullptr; // for Text
    int Part = 0;                   // component, slot or n-th of its kind
    int Sub = 0;                    // phone, address or web kind
};

// Structured components: N is family;given;additional;prefix;suffix, ORG is
// company;unit;office, ADR is box;extended;street;city;region;code;country.
constexpr int kBox = 0, kStreet = 2, kCity = 3, kState = 4, kCode = 5, kCountry = 6;

// clang-format off
const Field_Entry kFields[] = {
    {"Account", Kind::Text, "X-OUTLOOK-ACCOUNT"},
    {"Anniversary", Kind::Recognised},
    {"AssistantName", Kind::Text, EVC_X_ASSISTANT},
    {"AssistantTelephoneNumber", Kind::Phone, nullptr, 0, Assistant},
    {"BillingInformation", Kind::Text, "X-OUTLOOK-BILLINGINFORMATION"},
    {"Birthday", Kind::Recognised},
    {"Body", Kind::Text, EVC_NOTE},
    {"Business2TelephoneNumber", Kind::Phone, nullptr, 1, Business},
    {"BusinessAddress", Kind::Address_Whole, nullptr, 0, Business_Address},
    {"BusinessAddressCity", Kind::Address_Part, nullptr, kCity, Business_Address},
    {"BusinessAddressCountry", Kind::Address_Part, nullptr, kCountry, Business_Address},
    {"BusinessAddressPostalCode", Kind::Address_Part, nullptr, kCode, Business_Address},
    {"BusinessAddressPostOfficeBox", Kind::Address_Part, nullptr, kBox, Business_Address},
    {"BusinessAddressState", Kind::Address_Part, nullptr, kState, Business_Address},
    {"BusinessAddressStreet", Kind::Address_Part, nullptr, kStreet, Business_Address},
    {"BusinessFaxNumber", Kind::Phone, nullptr, 0, Business_Fax},
    {"BusinessHomePage", Kind::Web, nullptr, 0, Business_Page},
    {"BusinessTelephoneNumber", Kind::Phone, nullptr, 0, Business},
    {"CallbackTelephoneNumber", Kind::Phone, nullptr, 0, Callback},
    {"CarTelephoneNumber", Kind::Phone, nullptr, 0, Car},
    {"Categories", Kind::Categories},
    {"Children", Kind::Text, "X-OUTLOOK-CHILDREN"},
    {"Companies", Kind::Text, "X-OUTLOOK-COMPANIES"},
    {"CompanyMainTelephoneNumber", Kind::Phone, nullptr, 0, Company},
    {"CompanyName", Kind::Org_Part, nullptr, 0},
    {"ComputerNetworkName", Kind::Text, "X-OUTLOOK-COMPUTERNETWORKNAME"},
    {"CustomerID", Kind::Text, "X-OUTLOOK-CUSTOMERID"},
    {"Department", Kind::Org_Part, nullptr, 1},
    {"Email1Address", Kind::Email, nullptr, 0},
    {"Email1AddressType", Kind::Text, "X-OUTLOOK-EMAIL1ADDRESSTYPE"},
    {"Email2Address", Kind::Email, nullptr, 1},
    {"Email2AddressType", Kind::Recognised},
    {"Email3Address", Kind::Email, nullptr, 2},
    {"Email3AddressType", Kind::Recognised},
    {"FileAs", Kind::Text, EVC_X_FILE_AS},
    {"FirstName", Kind::Name_Part, nullptr, 1},
    {"FTPSite", Kind::Text, "X-OUTLOOK-FTPSITE"},
    {"FullName", Kind::Full_Name, EVC_FN},
    {"Gender", Kind::Recognised},
    {"GovernmentIDNumber", Kind::Text, "X-OUTLOOK-GOVERNMENTIDNUMBER"},
    {"Hobby", Kind::Text, "X-OUTLOOK-HOBBY"},
    {"Home2TelephoneNumber", Kind::Phone, nullptr, 1, Home},
    {"HomeAddress", Kind::Address_Whole, nullptr, 0, Home_Address},
    {"HomeAddressCity", Kind::Address_Part, nullptr, kCity, Home_Address},
    {"HomeAddressCountry", Kind::Address_Part, nullptr, kCountry, Home_Address},
    {"HomeAddressPostalCode", Kind::Address_Part, nullptr, kCode, Home_Address},
    {"HomeAddressPostOfficeBox", Kind::Address_Part, nullptr, kBox, Home_Address},
    {"HomeAddressState", Kind::Address_Part, nullptr, kState, Home_Address},
    {"HomeAddressStreet", Kind::Address_Part, nullptr, kStreet, Home_Address},
    {"HomeFaxNumber", Kind::Phone, nullptr, 0, Home_Fax},
    {"HomeTelephoneNumber", Kind::Phone, nullptr, 0, Home},
    {"Initials", Kind::Text, "X-OUTLOOK-INITIALS"},
    {"InternetFreeBusyAddress", Kind::Text, EVC_FBURL},
    {"ISDNNumber", Kind::Phone, nullptr, 0, Isdn},
    {"JobTitle", Kind::Text, EVC_TITLE},
    {"Journal", Kind::Journal, "X-OUTLOOK-JOURNAL"},
    {"Language", Kind::Text, "X-OUTLOOK-LANGUAGE"},
    {"LastName", Kind::Name_Part, nullptr, 0},
    {"MailingAddress", Kind::Address_Whole, nullptr, 0, Mailing_Address},
    {"MailingAddressCity", Kind::Address_Part, nullptr, kCity, Mailing_Address},
    {"MailingAddressCountry", Kind::Address_Part, nullptr, kCountry, Mailing_Address},
    {"MailingAddressPostalCode", Kind::Address_Part, nullptr, kCode, Mailing_Address},
    {"MailingAddressPostOfficeBox", Kind::Address_Part, nullptr, kBox, Mailing_Address},
    {"MailingAddressState", Kind::Address_Part, nullptr, kState, Mailing_Address},
    {"MailingAddressStreet", Kind::Address_Part, nullptr, kStreet, Mailing_Address},
    {"ManagerName", Kind::Text, EVC_X_MANAGER},
    {"MiddleName", Kind::Name_Part, nullptr, 2},
    {"Mileage", Kind::Text, "X-OUTLOOK-MILEAGE"},
    {"MobileTelephoneNumber", Kind::Phone, nullptr, 0, Mobile},
    {"NetMeetingAlias", Kind::Text, "X-OUTLOOK-NETMEETINGALIAS"},
    {"NetMeetingServer", Kind::Text, "X-OUTLOOK-NETMEETINGSERVER"},
    {"NickName", Kind::Text, EVC_NICKNAME},
    {"OfficeLocation", Kind::Org_Part, nullptr, 2},
    {"OrganizationalIDNumber", Kind::Text, "X-OUTLOOK-ORGANIZATIONALIDNUMBER"},
    {"OtherAddress", Kind::Address_Whole, nullptr, 0, Other_Address},
    {"OtherAddressCity", Kind::Address_Part, nullptr, kCity, Other_Address},
    {"OtherAddressCountry", Kind::Address_Part, nullptr, kCountry, Other_Address},
    {"OtherAddressPostalCode", Kind::Address_Part, nullptr, kCode, Other_Address},
    {"OtherAddressPostOfficeBox", Kind::Address_Part, nullptr, kBox, Other_Address},
    {"OtherAddressState", Kind::Address_Part, nullptr, kState, Other_Address},
    {"OtherAddressStreet", Kind::Address_Part, nullptr, kStreet, Other_Address},
    {"OtherFaxNumber", Kind::Phone, nullptr, 0, Other_Fax},
    {"OtherTelephoneNumber", Kind::Recognised},
    {"PagerNumber", Kind::Phone, nullptr, 0, Pager},
    {"PersonalHomePage", Kind::Web, nullptr, 0, Personal_Page},
    {"PrimaryTelephoneNumber", Kind::Phone, nullptr, 0, Primary},
    {"Profession", Kind::Text, EVC_ROLE},
    {"RadioTelephoneNumber", Kind::Phone, nullptr, 0, Radio},
    {"ReferredBy", Kind::Text, "X-OUTLOOK-REFERREDBY"},
    {"Spouse", Kind::Text, EVC_X_SPOUSE},
    {"Subject", Kind::Text, "X-OUTLOOK-SUBJECT"},
    {"Suffix", Kind::Name_Part, nullptr, 4},
    {"TelexNumber", Kind::Phone, nullptr, 0, Telex},
    {"Title", Kind::Name_Part, nullptr, 3},
    {"TTYTDDTelephoneNumber", Kind::Phone, nullptr, 0, Tty},
    {"User1", Kind::Text, "X-OUTLOOK-USER1"},
    {"User2", Kind::Text, "X-OUTLOOK-USER2"},
    {"User3", Kind::Text, "X-OUTLOOK-USER3"},
    {"User4", Kind::Text, "X-OUTLOOK-USER4"},
    {"WebPage", Kind::Web, nullptr, 0, Web_Page},
};
// clang-format on

const QHash<QString, const Field_Entry*>& Field_Index()
{
    static const QHash<QString, const Field_Entry*> index = [] {
        QHash<QString, const Field_Entry*> h;
        for (const Field_Entry& f : kFields)
            h.insert(QLatin1String(f.Name), &f);
        return h;
    }();
    return index;
}

const Field_Entry& Writable_Entry(const QString& name)
{
    const Field_Entry* field = Field_Index().value(name, nullptr);
    if (!field || field->Type == Kind::Recognised)
        throw Outlook_Error(QStringLiteral("The contact has no field \"%1\" that can be set.").arg(name));
    return *field;
}

// Contact texts use CR LF line breaks, as Outlook's do.
QString Outlook_Text(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

int Phone_Kind_Of(const QStringList& types)
{
    auto has = [&](const char* t) { return types.contains(QLatin1String(t)); };
    if (has("X-EVOLUTION-ASSISTANT"))
        return Assistant;
    if (has("X-EVOLUTION-CALLBACK"))
        return Callback;
    if (has("X-EVOLUTION-COMPANY"))
        return Company;
    if (has("X-EVOLUTION-RADIO"))
        return Radio;
    if (has("X-EVOLUTION-TELEX"))
        return Telex;
    if (has("X-EVOLUTION-TTYTDD") || has("TEXTPHONE"))
        return Tty;
    if (has("ISDN"))
        return Isdn;
    if (has("CAR"))
        return Car;
    if (has("PAGER"))
        return Pager;
    if (has("CELL"))
        return Mobile;
    if (has("FAX"))
        return has("WORK") ? Business_Fax : has("HOME") ? Home_Fax : Other_Fax;
    if (has("WORK"))
        return Business;
    if (has("HOME"))
        return Home;
    if (has("PREF"))
        return Primary;
    return Other_Phone;
}

QStringList New_Phone_Params(int kind, bool v40)
{
    static const char* const kTypes[] = {"X-EVOLUTION-ASSISTANT",
                                         "WORK,VOICE",
                                         "WORK,FAX",
                                         "X-EVOLUTION-CALLBACK",
                                         "CAR",
                                         "X-EVOLUTION-COMPANY",
                                         "HOME,VOICE",
                                         "HOME,FAX",
                                         "ISDN",
                                         "CELL",
                                         "FAX",
                                         "PAGER",
                                         "PREF",
                                         "X-EVOLUTION-RADIO",
                                         "X-EVOLUTION-TELEX",
                                         "X-EVOLUTION-TTYTDD",
                                         "VOICE"};
    if (kind == Primary && v40) // vCard 4.0 marks preference with its own parameter
        return {QStringLiteral("TYPE=VOICE"), QStringLiteral("PREF=1")};
    return {QStringLiteral("TYPE=") + QLatin1String(kTypes[kind])};
}

int Address_Kind_Of(const QStringList& types)
{
    if (types.contains(QLatin1String("HOME")))
        return Home_Address;
    if (types.contains(QLatin1String("WORK")))
        return Business_Address;
    if (types.contains(QLatin1String("POSTAL")))
        return Mailing_Address;
    return Other_Address;
}

QStringList New_Address_Params(int kind)
{
    static const char* const kTypes[] = {"HOME", "WORK", "POSTAL", "OTHER"};
    return {QStringLiteral("TYPE=") + QLatin1String(kTypes[kind])};
}

int Web_Kind_Of(const QStringList& types)
{
    if (types.contains(QLatin1String("HOME")))
        return Personal_Page;
    if (types.contains(QLatin1String("WORK")))
        return Business_Page;
    return Web_Page;
}

QStringList New_Web_Params(int kind)
{
    if (kind == Personal_Page)
        return {QStringLiteral("TYPE=HOME")};
    if (kind == Business_Page)
        return {QStringLiteral("TYPE=WORK")};
    return {};
}

using Kind_Test = std::function<bool(int)>;

QList<int> Lines_Of_Kind(const Vcard_Document& card, const QString& property, const Kind_Test& isKind)
{
    QList<int> out;
    for (int index : card.Lines_Named(property))
        if (isKind(index))
            out.append(index);
    return out;
}

// Where a new line of a property goes: after the last one of its name, else
// just before END.
int Insert_Position(const Vcard_Document& card, const QString& property)
{
    const QList<int> lines = card.Lines_Named(property);
    return lines.isEmpty() ? card.End_Index() : lines.last() + 1;
}

QString Joined_Value(const Vcard_Document& card, int index)
{
    return index < 0 ? QString() : Outlook_Text(card.Values(index).join(QLatin1Char(';')));
}

// The n-th line of a kind (an e-mail slot, a second business phone). Clearing
// one that has later lines of its kind empties it instead of removing it, so
// the later ones keep their numbers; new lines pad the missing ones.
void Set_Nth(Vcard_Document& card, const QString& property, const Kind_Test& isKind, int n,
             const QStringList& newParams, const QString& value)
{
    const QList<int> lines = Lines_Of_Kind(card, property, isKind);
    if (value.isEmpty()) {
        if (n < lines.size()) {
            if (n == lines.size() - 1)
                card.Remove(lines[n]);
            else
                card.Set_Values(lines[n], {QString()});
        }
        return;
    }
    if (n < lines.size()) {
        card.Set_Values(lines[n], {value});
        return;
    }
    int position = Insert_Position(card, property);
    for (qsizetype pad = lines.size(); pad < n; ++pad)
        card.Insert(position++, property, newParams);
    card.Set_Values(card.Insert(position, property, newParams), {value});
}

void Set_Text(Vcard_Document& card, const QString& property, const QString& value, bool keepWhenEmpty)
{
    int index = card.First_Named(property);
    if (value.isEmpty() && !keepWhenEmpty) {
        if (index >= 0)
            card.Remove(index);
        return;
    }
    if (index < 0) {
        if (value.isEmpty())
            return;
        index = card.Insert(Insert_Position(card, property), property, {});
    }
    card.Set_Values(index, {value});
}

void Set_Part(Vcard_Document& card, const QString& property, int index, int part, int parts,
              const QStringList& newParams, const QString& value, bool removeWhenEmpty)
{
    if (index < 0) {
        if (value.isEmpty())
            return;
        index = card.Insert(Insert_Position(card, property), property, newParams);
    }
    QStringList values = card.Values(index);
    while (values.size() < std::max(parts, part + 1))
        values.append(QString());
    values[part] = value;
    bool empty = true;
    for (const QString& v : values)
        empty = empty && v.isEmpty();
    if (empty && removeWhenEmpty) {
        card.Remove(index);
        return;
    }
    if (property == QLatin1String(EVC_ORG))
        while (values.size() > 1 && values.last().isEmpty())
            values.removeLast();
    card.Set_Values(index, values);
}

int First_Of_Kind(const Vcard_Document& card, const char* property, int (*kindOf)(const QStringList&),
                  int kind)
{
    const QList<int> lines =
        Lines_Of_Kind(card, QLatin1String(property), [&](int i) { return kindOf(card.Types(i)) == kind; });
    return lines.isEmpty() ? -1 : lines.first();
}

QString Read_Phone(const Vcard_Document& card, const Field_Entry& field)
{
    const QList<int> lines = Lines_Of_Kind(card, QLatin1String(EVC_TEL),
                                           [&](int i) { return Phone_Kind_Of(card.Types(i)) == field.Sub; });
    if (field.Part >= lines.size())
        return QString();
    QString value = Joined_Value(card, lines[field.Part]);
    if (card.Param(lines[field.Part], QStringLiteral("VALUE"))
                .compare(QLatin1String("uri"), Qt::CaseInsensitive) == 0 &&
        value.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive))
        value = value.mid(4);
    return value;
}

void Write_Phone(Vcard_Document& card, const Field_Entry& field, const QString& value)
{
    const QString tel = QLatin1String(EVC_TEL);
    auto isKind = [&](int i) { return Phone_Kind_Of(card.Types(i)) == field.Sub; };
    Set_Nth(card, tel, isKind, field.Part,
            New_Phone_Params(field.Sub, card.Version() == QLatin1String("4.0")), value);
    // The number is written as text: a "VALUE=uri" left on it would misdescribe it.
    const QList<int> lines = Lines_Of_Kind(card, tel, isKind);
    if (field.Part < lines.size()) {
        const int index = lines[field.Part];
        QStringList params = card.Line(index).Params;
        const auto stale = [](const QString& p) {
            return p.section(QLatin1Char('='), 0, 0)
                       .trimmed()
                       .compare(QLatin1String("VALUE"), Qt::CaseInsensitive) == 0;
        };
        if (std::any_of(params.begin(), params.end(), stale)) {
            params.removeIf(stale);
            card.Set_Params(index, params);
        }
    }
}

QString Composed_Address(const Vcard_Document& card, int index)
{
    QStringList v = card.Values(index);
    while (v.size() < 7)
        v.append(QString());
    const QString place = QStringList{v[kCity], v[kState], v[kCode]}.join(QLatin1Char(' ')).simplified();
    QStringList lines;
    for (const QString& part : {v[kBox], v[1], v[kStreet], place, v[kCountry]})
        if (!part.trimmed().isEmpty())
            lines.append(part);
    return Outlook_Text(lines.join(QLatin1Char('\n')));
}

QString Journal_Text(const QString& value)
{
    const QString v = value.trimmed();
    if (v.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("TRUE");
    if (v.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("FALSE");
    bool number = false;
    const double d = v.toDouble(&number);
    if (number)
        return d != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    throw Outlook_Error(QStringLiteral("Type mismatch: Journal takes True or False, not \"%1\".").arg(value));
}

} // namespace

bool Is_Standard_Contact_Field(const QString& fieldName)
{
    return Field_Index().contains(fieldName);
}

bool Is_Writable_Contact_Field(const QString& fieldName)
{
    const Field_Entry* field = Field_Index().value(fieldName, nullptr);
    return field && field->Type != Kind::Recognised;
}

bool Is_Computed_Contact_Field(const QString& fieldName)
{
    const Field_Entry* field = Field_Index().value(fieldName, nullptr);
    return field && field->Type == Kind::Journal;
}

const QStringList& Standard_Contact_Field_Names()
{
    static const QStringList names = [] {
        QStringList n;
        for (const Field_Entry& f : kFields)
            n.append(QLatin1String(f.Name));
        return n;
    }();
    return names;
}

QString Read_Contact_Field(const Vcard_Document& card, const QString& fieldName)
{
    const Field_Entry& field = Writable_Entry(fieldName);
    switch (field.Type) {
    case Kind::Text:
    case Kind::Full_Name:
        return Joined_Value(card, card.First_Named(QLatin1String(field.Property)));
    case Kind::Name_Part:
    case Kind::Org_Part: {
        const int index = card.First_Named(QLatin1String(field.Type == Kind::Name_Part ? EVC_N : EVC_ORG));
        const QStringList values = index < 0 ? QStringList() : card.Values(index);
        return field.Part < values.size() ? Outlook_Text(values[field.Part]) : QString();
    }
    case Kind::Address_Part: {
        const int index = First_Of_Kind(card, EVC_ADR, Address_Kind_Of, field.Sub);
        const QStringList values = index < 0 ? QStringList() : card.Values(index);
        return field.Part < values.size() ? Outlook_Text(values[field.Part]) : QString();
    }
    case Kind::Address_Whole: {
        const int label = First_Of_Kind(card, EVC_LABEL, Address_Kind_Of, field.Sub);
        if (label >= 0)
            return Joined_Value(card, label);
        const int address = First_Of_Kind(card, EVC_ADR, Address_Kind_Of, field.Sub);
        return address < 0 ? QString() : Composed_Address(card, address);
    }
    case Kind::Phone:
        return Read_Phone(card, field);
    case Kind::Email: {
        const QList<int> lines = card.Lines_Named(QLatin1String(EVC_EMAIL));
        return field.Part < lines.size() ? Joined_Value(card, lines[field.Part]) : QString();
    }
    case Kind::Web:
        return Joined_Value(card, First_Of_Kind(card, EVC_URL, Web_Kind_Of, field.Sub));
    case Kind::Categories: {
        const int index = card.First_Named(QLatin1String(EVC_CATEGORIES));
        QStringList items;
        for (const QString& item : index < 0 ? QStringList() : card.Values(index))
            if (!item.trimmed().isEmpty())
                items.append(item.trimmed());
        return items.join(QLatin1String(", "));
    }
    case Kind::Journal: {
        const QString v = Joined_Value(card, card.First_Named(QLatin1String(field.Property))).trimmed();
        return v.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0 ? QStringLiteral("True")
                                                                          : QStringLiteral("False");
    }
    case Kind::Recognised:
        break;
    }
    return QString();
}

void Write_Contact_Field(Vcard_Document& card, const QString& fieldName, const QString& rawValue)
{
    const Field_Entry& field = Writable_Entry(fieldName);
    if (rawValue.contains(QChar(0)))
        throw Outlook_Error(QStringLiteral("The field \"%1\" cannot hold a NUL character.").arg(fieldName));
    const QString value = Outlook_Text(rawValue);
    switch (field.Type) {
    case Kind::Text:
        Set_Text(card, QLatin1String(field.Property), value, false);
        return;
    case Kind::Full_Name: // FN is required, so clearing it leaves it empty
        Set_Text(card, QLatin1String(field.Property), value, true);
        return;
    case Kind::Name_Part: // N is required in 3.0 and stays even when empty
        Set_Part(card, QLatin1String(EVC_N), card.First_Named(QLatin1String(EVC_N)), field.Part, 5, {}, value,
                 false);
        return;
    case Kind::Org_Part:
        Set_Part(card, QLatin1String(EVC_ORG), card.First_Named(QLatin1String(EVC_ORG)), field.Part, 3, {},
                 value, true);
        return;
    case Kind::Address_Part:
        Set_Part(card, QLatin1String(EVC_ADR), First_Of_Kind(card, EVC_ADR, Address_Kind_Of, field.Sub),
                 field.Part, 7, New_Address_Params(field.Sub), value, true);
        return;
    case Kind::Address_Whole: {
        // The whole address is its label; clearing it clears the parts too.
        const int label = First_Of_Kind(card, EVC_LABEL, Address_Kind_Of, field.Sub);
        if (!value.isEmpty()) {
            const int index = label >= 0
                                  ? label
                                  : card.Insert(Insert_Position(card, QLatin1String(EVC_LABEL)),
                                                QLatin1String(EVC_LABEL), New_Address_Params(field.Sub));
            card.Set_Values(index, {value});
            return;
        }
        if (label >= 0)
            card.Remove(label);
        const int address = First_Of_Kind(card, EVC_ADR, Address_Kind_Of, field.Sub);
        if (address >= 0)
            card.Remove(address);
        return;
    }
    case Kind::Phone:
        Write_Phone(card, field, value);
        return;
    case Kind::Email:
        Set_Nth(
            card, QLatin1String(EVC_EMAIL), [](int) { return true; }, field.Part, {}, value);
        return;
    case Kind::Web: {
        auto isKind = [&](int i) { return Web_Kind_Of(card.Types(i)) == field.Sub; };
        Set_Nth(card, QLatin1String(EVC_URL), isKind, 0, New_Web_Params(field.Sub), value);
        return;
    }
    case Kind::Categories: {
        QStringList items;
        for (const QString& item : value.split(QLatin1Char(',')))
            if (!item.trimmed().isEmpty())
                items.append(item.trimmed());
        int index = card.First_Named(QLatin1String(EVC_CATEGORIES));
        if (items.isEmpty()) {
            if (index >= 0)
                card.Remove(index);
            return;
        }
        if (index < 0)
            index = card.Insert(Insert_Position(card, QLatin1String(EVC_CATEGORIES)),
                                QLatin1String(EVC_CATEGORIES), {});
        card.Set_Values(index, items, QLatin1Char(','));
        return;
    }
    case Kind::Journal:
        Set_Text(card, QLatin1String(field.Property), Journal_Text(value), false);
        return;
    case Kind::Recognised:
        break;
    }
}

void Set_Contact_Field(const QString& fieldName, const QString& value, QuorinContactItem& contact)
{
    // The callers cannot act on a failure here: every one ends silently.
    try {
        const std::shared_ptr<Contact_Item> item = contact.Item();
        if (!item)
            return;
        if (Is_Writable_Contact_Field(fieldName)) {
            item->Set_Standard_Field(fieldName, value);
            return;
        }
        User_Property* property = item->UserProperties().Add(fieldName, olText);
        if (!property)
            return;
        property->Set_Value(value);
        item->Save();
    } catch (...) {
    }
}

} // namespace bc::outlook
