#include "demo/Demo_Profile.h"

#include "config/Text_File.h"
#include "demo/Demo_Profile_Messages.h"
#include "outlook/Profile.h"
#include "outlook/Profile_Folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace bc::outlook::demo {
namespace {

// The demo mail arrives over the first weeks of December 2025.
constexpr qint64 kFirst_Delivery = 1764576000;

struct Card
{
    const char* File;
    int Version; // 3 or 4
    const char* Given;
    const char* Family;
    const char* Organization;
    const char* Emails[3];
    const char* Phone;
};

// Every contact of the demo. The e-mail addresses of returned messages are
// written here in upper, lower and mixed case, in all three slots.
const Card kCards[] = {
    {"tom-baker.vcf", 3, "Tom", "Baker", "Baker & Sons", {"Tom.Baker@Example.NET"}, "+44 20 7946 0018"},
    {"tom-baker-old.vcf",
     4,
     "Tom",
     "Baker (old)",
     nullptr,
     {"tbaker@example.com", "tom.baker@example.net"},
     nullptr},
    {"rosa-alvarez.vcf",
     4,
     "Rosa",
     "Alvarez",
     "Alvarez Design",
     {"rosa.personal@example.com", "R.ALVAREZ@MAIL.EXAMPLE.ORG"},
     "+34 91 555 0142"},
    {"lena-fischer.vcf",
     3,
     "Lena",
     "Fischer",
     nullptr,
     {"lena.f@example.de", "l.fischer@work.example.de", "lena.fischer@example.de"},
     nullptr},
    {"acme-sales.vcf",
     3,
     "",
     "Acme Tools Sales",
     "Acme Tools",
     {"Old-Sales@Acme-Tools.example"},
     "+1 555 0100"},
    {"kenji-nakamura.vcf",
     4,
     "Kenji",
     "Nakamura",
     nullptr,
     {"kenji@example.jp", "K.Nakamura@example.jp"},
     nullptr},
    {"samuel-oduya.vcf", 3, "Samuel", "Oduya", "Oduya Logistics", {"s.oduya@example.net"}, nullptr},
    {"corner-bakery.vcf",
     4,
     "",
     "Corner Bakery",
     "Corner Bakery",
     {"INFO@BAKERY.EXAMPLE"},
     "+39 06 555 0199"},
    {"marco-rossi.vcf",
     3,
     "Marco",
     "Rossi",
     nullptr,
     {"marco@example.it", "rossi.m@example.it", "M.Rossi@Example.IT"},
     nullptr},
    {"pierre-dubois.vcf", 4, "Pierre", "Dubois", "Dubois SARL", {"p.dubois@example.fr"}, nullptr},
    {"henrik-jensen.vcf",
     3,
     "Henrik",
     "Jensen",
     nullptr,
     {"henrik@example.dk", "H.Jensen@example.dk"},
     nullptr},
    {"anna-kowalski.vcf", 4, "Anna", "Kowalski", nullptr, {"anna.kowalski@example.pl"}, "+48 22 555 0123"},
    {"juergen-mueller.vcf", 3, "Jürgen", "Müller", "Müller GmbH", {"J.Mueller@example.de"}, nullptr},
    {"david-chen.vcf", 4, "David", "Chen", nullptr, {"david@example.org", "DChen@example.org"}, nullptr},
    // Carries the address of a report that a run leaves alone.
    {"report-archive.vcf", 3, "", "Report Archive", "Corp", {"old.reports@example.net"}, nullptr},
    // The user herself: her address is on every returned message.
    {"jane-doe.vcf", 4, "Jane", "Doe", "Example Ltd", {"jane.doe@example.com", "jane@home.example"}, nullptr},
    // Addresses that only ordinary mail mentions.
    {"mark-otto.vcf", 3, "Mark", "Otto", nullptr, {"mark.otto@example.org"}, nullptr},
    {"acme-support.vcf", 4, "", "Acme Tools Support", "Acme Tools", {"support@acme-tools.example"}, nullptr},
    {"priya-raman.vcf", 3, "Priya", "Raman", "Raman & Co", {"priya.raman@example.org"}, nullptr},
    {"oliver-grant.vcf", 4, "Oliver", "Grant", nullptr, {"oliver.grant@example.co.uk"}, nullptr},
    {"chen-wei.vcf", 3, "Wei", "Chen", nullptr, {"chen.wei@example.cn"}, nullptr},
    {"sofia-lindqvist.vcf", 4, "Sofia", "Lindqvist", nullptr, {"sofia.lindqvist@example.se"}, nullptr},
    {"daniel-brooks.vcf",
     3,
     "Daniel",
     "Brooks",
     "Brooks Legal",
     {"d.brooks@example.com", "DBrooks@Example.com"},
     nullptr},
    {"aiko-tanaka.vcf", 4, "Aiko", "Tanaka", nullptr, {"aiko.tanaka@example.jp"}, nullptr},
    {"grace-mensah.vcf", 3, "Grace", "Mensah", nullptr, {"grace.mensah@example.com"}, nullptr},
    {"hugo-martin.vcf", 4, "Hugo", "Martin", nullptr, {"hugo.martin@example.fr"}, nullptr},
    {"nina-petrova.vcf", 3, "Nina", "Petrova", nullptr, {"nina.petrova@example.org"}, nullptr},
    {"carlos-silva.vcf", 4, "Carlos", "Silva", nullptr, {"carlos.silva@example.com.br"}, nullptr},
    {"ahmed-khan.vcf", 3, "Ahmed", "Khan", nullptr, {"ahmed.khan@example.pk"}, nullptr},
    {"eva-novak.vcf", 4, "Eva", "Novak", nullptr, {"eva.novak@example.cz"}, nullptr},
    {"jose-garcia.vcf", 3, "José", "García", nullptr, {"jose.garcia@example.es"}, nullptr},
    {"liam-walsh.vcf", 4, "Liam", "Walsh", nullptr, {"liam.walsh@example.ie"}, nullptr},
    {"emma-schmidt.vcf", 3, "Emma", "Schmidt", nullptr, {"emma.schmidt@example.at"}, nullptr},
    {"noah-jones.vcf", 4, "Noah", "Jones", nullptr, {"noah.jones@example.com"}, nullptr},
    {"olivia-brown.vcf", 3, "Olivia", "Brown", nullptr, {"OLIVIA.BROWN@EXAMPLE.NET"}, nullptr},
    {"lucas-moreau.vcf", 4, "Lucas", "Moreau", nullptr, {"lucas.moreau@example.be"}, nullptr},
    {"ethan-clark.vcf",
     3,
     "Ethan",
     "Clark",
     nullptr,
     {"ethan.clark@example.com", "", "e.clark@example.org"},
     nullptr},
    {"ava-wilson.vcf", 4, "Ava", "Wilson", nullptr, {"ava.wilson@example.nz"}, nullptr},
    {"mateo-fernandez.vcf", 3, "Mateo", "Fernández", nullptr, {"mateo.fernandez@example.mx"}, nullptr},
    {"isla-murray.vcf", 4, "Isla", "Murray", nullptr, {"isla.murray@example.co.uk"}, nullptr},
    {"zoe-adams.vcf", 3, "Zoe", "Adams", nullptr, {"zoe.adams@example.com"}, nullptr},
    {"ben-carter.vcf", 4, "Ben", "Carter", nullptr, {"ben.carter@example.org"}, nullptr},
    {"chloe-martin.vcf", 3, "Chloe", "Martin", nullptr, {"chloe.martin@example.ca"}, nullptr},
    {"jack-evans.vcf", 4, "Jack", "Evans", nullptr, {"jack.evans@example.com.au"}, nullptr},
    {"lily-thompson.vcf", 3, "Lily", "Thompson", nullptr, {"lily.thompson@example.com"}, nullptr},
    {"omar-haddad.vcf", 4, "Omar", "Haddad", nullptr, {"omar.haddad@example.ae"}, nullptr},
    {"hannah-becker.vcf", 3, "Hannah", "Becker", nullptr, {"hannah.becker@example.de"}, nullptr},
    {"ravi-patel.vcf", 4, "Ravi", "Patel", nullptr, {"ravi.patel@example.in"}, nullptr},
    {"plumber.vcf", 3, "", "Plumber (emergencies)", nullptr, {}, "+44 7700 900123"},
    {"team-list.vcf", 4, "", "Team list", nullptr, {"team@example.com"}, nullptr},
};

QString Full_Name(const Card& c)
{
    const QString given = QString::fromUtf8(c.Given);
    const QString family = QString::fromUtf8(c.Family);
    return given.isEmpty() ? family : given + QLatin1Char(' ') + family;
}

QByteArray Escape(const QString& text)
{
    QByteArray out = text.toUtf8();
    return out.replace("\\", "\\\\").replace(",", "\\,").replace(";", "\\;");
}

QByteArray Vcard(const Card& c)
{
    const QByteArray uid = "demo-" + QByteArray(c.File).chopped(4);
    QByteArray out = "BEGIN:VCARD\r\nVERSION:" + QByteArray(c.Version == 4 ? "4.0" : "3.0") +
                     "\r\nUID:" + uid + "\r\nFN:" + Escape(Full_Name(c)) +
                     "\r\nN:" + Escape(QString::fromUtf8(c.Family)) + ";" +
                     Escape(QString::fromUtf8(c.Given)) + ";;;\r\n";
    if (c.Organization)
        out += "ORG:" + Escape(QString::fromUtf8(c.Organization)) + "\r\n";
    for (const char* email : c.Emails) {
        if (!email)
            break;
        // An empty EMAIL keeps the slot numbers of the ones after it.
        out +=
            (c.Version == 4 ? "EMAIL;TYPE=work:" : "EMAIL;TYPE=INTERNET,WORK:") + QByteArray(email) + "\r\n";
    }
    if (c.Phone)
        out += c.Version == 4
                   ? "TEL;VALUE=uri;TYPE=cell:tel:" + QByteArray(c.Phone).replace(' ', '-') + "\r\n"
                   : "TEL;TYPE=CELL:" + QByteArray(c.Phone) + "\r\n";
    if (QByteArray(c.File) == "team-list.vcf")
        out += "NOTE:Everyone in the team\\, for announcements.\r\n";
    return out + "REV:20251101T100000Z\r\nEND:VCARD\r\n";
}

QString Message_File(qint64 when, int n)
{
    return QStringLiteral("%1.M%2P4242.demo").arg(when).arg(n);
}

qint64 Returned_Time(int index)
{
    return kFirst_Delivery + 7200 + qint64(index) * 93600;
}
qint64 Ordinary_Step()
{
    return 43200;
}

bool Deliver(const QString& inbox, const QString& name, const QByteArray& text, bool seen, QString* error)
{
    // As a delivery agent does: whole in tmp/, then renamed into cur/.
    const QString tmp = inbox + QStringLiteral("/tmp/") + name;
    if (!Write_File_Atomically(tmp, text, error))
        return false;
    const QString target =
        inbox + QStringLiteral("/cur/") + name + (seen ? QStringLiteral(":2,S") : QStringLiteral(":2,"));
    if (!QFile::rename(tmp, target)) {
        if (error)
            *error = QStringLiteral("Cannot deliver %1.").arg(name);
        return false;
    }
    return true;
}

} // namespace

const std::vector<Returned_Message>& Returned_Messages()
{
    static const std::vector<Returned_Message> list = [] {
        const QString me = QString::fromLatin1(kUser_Address);
        const QString note = QStringLiteral("IPM.Note");
        std::vector<Returned_Message> l = {
            {{},
             "Undelivered Mail Returned to Sender",
             "Postfix, MIME report with the original message",
             note,
             {"tom.baker@example.net"},
             {}},
            {{},
             "Undelivered Mail Returned to Sender",
             "Postfix, MIME report with the original headers only",
             note,
             {"r.alvarez@mail.example.org"},
             {}},
            {{},
             "Mail delivery failed: returning message to sender",
             "Exim, plain text with the quoted message",
             note,
             {"lena.fischer@example.de"},
             {me}},
            {{},
             "Mail delivery failed: returning message to sender",
             "Exim, MIME report, RFC 2047 subject, two recipients",
             note,
             {"old-sales@acme-tools.example", "k.nakamura@example.jp"},
             {}},
            {{},
             "failure notice",
             "qmail, plain text with a copy of the message",
             note,
             {"s.oduya@example.net"},
             {me}},
            {{},
             "failure notice",
             "qmail, plain text without the message, two recipients",
             note,
             {"info@bakery.example", "m.rossi@example.it"},
             {}},
            {{},
             "Returned mail: see transcript for details",
             "Sendmail, MIME report with the original message",
             note,
             {"p.dubois@example.fr"},
             {}},
            {{},
             "Returned mail: see transcript for details",
             "Sendmail, plain text, RFC 2047 subject",
             note,
             {"h.jensen@example.dk"},
             {me}},
            {{},
             "Undeliverable: Project kickoff",
             "Exchange, report with text and HTML, original headers",
             note,
             {"anna.kowalski@example.pl"},
             {me}},
            {{},
             "Undeliverable: Grüße aus Berlin",
             "Office 365, HTML only, RFC 2047 subject",
             note,
             {"j.mueller@example.de"},
             {}},
            {{},
             "Delivery Status Notification (Failure)",
             "Gmail, report with the original message",
             note,
             {"dchen@example.org"},
             {}},
            {{},
             "Delivery Status Notification (Failure)",
             "Gmail, report with the original headers only",
             note,
             {"no.longer.here@example.com"},
             {}},
            {{},
             "Undeliverable: Old report",
             "a delivery report filed with its own class",
             "REPORT.IPM.Note.NDR",
             {"old.reports@example.net"},
             {}},
        };
        for (std::size_t i = 0; i < l.size(); ++i)
            l[i].File = Message_File(Returned_Time(int(i)), int(i) + 1);
        return l;
    }();
    return list;
}

const std::vector<Bounced_Contact>& Bounced_Contacts()
{
    static const std::vector<Bounced_Contact> list = [] {
        QStringList failed;
        for (const Returned_Message& m : Returned_Messages())
            if (m.Message_Class == QLatin1String("IPM.Note"))
                failed << m.Failed;
        std::vector<Bounced_Contact> l;
        for (const Card& c : kCards)
            for (int slot = 1; slot <= 3 && c.Emails[slot - 1]; ++slot) {
                const QString address = QString::fromUtf8(c.Emails[slot - 1]);
                if (failed.contains(address, Qt::CaseInsensitive))
                    l.push_back({QString::fromLatin1(c.File), Full_Name(c), slot, address});
            }
        return l;
    }();
    return list;
}

const QStringList& Ordinary_Mail_Addresses()
{
    static const QStringList list = {"mark.otto@example.org", "support@acme-tools.example",
                                     "events@example.org"};
    return list;
}

int Ordinary_Message_Count()
{
    return int(Ordinary_Message_Texts(0, 1).size());
}
int Contact_Count()
{
    return int(std::size(kCards));
}

} // namespace bc::outlook::demo

namespace bc::outlook {

bool Write_Demo_Profile(const QString& profileFolder, QString* error)
{
    using namespace demo;
    if (QFileInfo::exists(QDir(profileFolder).filePath(QStringLiteral("profile.ini")))) {
        if (error)
            *error = QStringLiteral("%1 already holds a profile.").arg(profileFolder);
        return false;
    }
    if (!Set_Profile_User(profileFolder, QString::fromLatin1(kUser_Name), QString::fromLatin1(kUser_Address),
                          error))
        return false;
    auto profile = Open_Profile(profileFolder, error);
    if (!profile)
        return false;
    const QString root = QFile::decodeName(profile->Stores.at(0).Root);
    const QString inbox = root + QStringLiteral("/Inbox");
    if (!Create_Folder_Directory(QFile::encodeName(root + QStringLiteral("/Bounced")),
                                 QStringLiteral("IPM.Note"), error))
        return false;

    const auto& returned = Returned_Messages();
    for (std::size_t i = 0; i < returned.size(); ++i)
        if (!Deliver(inbox, returned[i].File,
                     Returned_Message_Text(int(i), returned[i], Returned_Time(int(i))), i % 3 == 0, error))
            return false;
    const auto ordinary = Ordinary_Message_Texts(kFirst_Delivery, Ordinary_Step());
    for (std::size_t i = 0; i < ordinary.size(); ++i) {
        const qint64 when = kFirst_Delivery + qint64(i) * Ordinary_Step();
        if (!Deliver(inbox, Message_File(when, int(100 + i)), ordinary[i], i % 4 != 0, error))
            return false;
    }
    for (const Card& c : kCards)
        if (!Write_File_Atomically(root + QStringLiteral("/Contacts/") + QString::fromLatin1(c.File),
                                   Vcard(c), error))
            return false;
    return true;
}

} // namespace bc::outlook
