// The quick look at a contact file's bytes that lets a walk pass over cards
// unread: it may say "maybe" too often, but never "no" for a card whose
// e-mail addresses, as the parser reads them, include a wanted one.

#include "config/Address_Case.h"
#include "outlook/Item_Files.h"
#include "outlook/Vcard_Screen.h"

#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

#include <optional>
#include <random>

using namespace bc::outlook;

namespace {

class Wanted_Set final : public Address_Screen
{
public:
    explicit Wanted_Set(QSet<QString> wanted) : wanted_(std::move(wanted)) {}
    bool Wanted(QLatin1StringView address) const override
    {
        asked.append(QString(address));
        return wanted_.contains(QString(address));
    }
    mutable QStringList asked;

private:
    QSet<QString> wanted_;
};

// The three address slots as a walk compares them: spaces trimmed, upper case.
QSet<QString> Parsed_Slots(const QByteArray& card)
{
    QSet<QString> out;
    const auto contact =
        Contact_From_Bytes({QStringLiteral("/nonexistent/x.vcf"), QString(), QString()}, card);
    if (!contact)
        return out;
    for (int slot = 1; slot <= 3; ++slot) {
        QString value = contact->Email_Address(slot);
        while (value.startsWith(QLatin1Char(' ')))
            value.remove(0, 1);
        while (value.endsWith(QLatin1Char(' ')))
            value.chop(1);
        if (!value.isEmpty())
            out.insert(bc::Upper_Address(value));
    }
    return out;
}

// The kind of address a walk looks for.
bool Is_Plain(const QString& address)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Z0-9_.@-]+$"));
    return plain.match(address).hasMatch();
}

QByteArray Card(const QByteArray& version, const QByteArray& emailLines, const QByteArray& eol = "\r\n")
{
    QByteArray out = "BEGIN:VCARD" + eol + "VERSION:" + version + eol + "FN:Bob Smith" + eol;
    out += emailLines;
    return out + "NOTE:met at the fair" + eol + "END:VCARD" + eol;
}

} // namespace

TEST(Vcard_Screen, CardsAreDecidedFromTheirEmailLines)
{
    const QByteArray card = Card("3.0", "EMAIL;TYPE=INTERNET:Bob.Smith@Example.com\r\n"
                                        "item1.EMAIL:  bob@home.example \r\n"
                                        "URL:http://user@www.example.com/\r\n");
    Wanted_Set other({QStringLiteral("CAROL@EXAMPLE.ORG")});
    EXPECT_FALSE(Vcard_May_Hold(card, other));
    // Only runs of address characters with an '@' on EMAIL lines are asked
    // about, in upper case.
    EXPECT_EQ(other.asked, QStringList({"BOB.SMITH@EXAMPLE.COM", "BOB@HOME.EXAMPLE"}));

    EXPECT_TRUE(Vcard_May_Hold(card, Wanted_Set({QStringLiteral("BOB.SMITH@EXAMPLE.COM")})));
    EXPECT_TRUE(Vcard_May_Hold(card, Wanted_Set({QStringLiteral("BOB@HOME.EXAMPLE")})));
    // A part of an address is no hit.
    EXPECT_FALSE(Vcard_May_Hold(card, Wanted_Set({QStringLiteral("SMITH@EXAMPLE.COM")})));

    // Folded lines are joined first, the way the parser joins them.
    const QByteArray folded =
        Card("3.0", "EMAIL:bob@exa\r\n mple.com\r\nPHOTO;ENCODING=b;TYPE=JPEG:AAAA\r\n BBBB\r\n");
    Wanted_Set joined({QStringLiteral("BOB@EXAMPLE.COM")});
    EXPECT_TRUE(Vcard_May_Hold(folded, joined));
    EXPECT_EQ(joined.asked, QStringList({"BOB@EXAMPLE.COM"}));

    // Encodings and escapes on other lines do not matter.
    const QByteArray others =
        Card("2.1", "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:M=C3=BCller;J=C3=BCrgen\r\n"
                    "ADR;WORK:;;1 Main St\\, Suite 2;Springfield\r\nEMAIL:bob@example.com\r\n");
    EXPECT_FALSE(Vcard_May_Hold(others, Wanted_Set({QStringLiteral("NOBODY@EXAMPLE.COM")})));

    // In UTF-8 (with a byte order mark too) and Windows-1252 alike, an address
    // with another letter is nobody's plain address: upper case never makes
    // "gruß" into "GRUSS", nor "bıll" into "BILL".
    const QByteArray utf8 = "\xEF\xBB\xBF" + Card("3.0", "EMAIL:gru\xC3\x9F@example.de\r\n"
                                                         "EMAIL:b\xC4\xB1ll@example.com\r\n");
    const QByteArray cp1252 = Card("3.0", "EMAIL:gru\xDF@example.de\r\nNOTE:caf\xE9\r\n");
    for (const QByteArray& text : {utf8, cp1252}) {
        Wanted_Set plain({QStringLiteral("GRUSS@EXAMPLE.DE"), QStringLiteral("BILL@EXAMPLE.COM")});
        EXPECT_FALSE(Vcard_May_Hold(text, plain));
        EXPECT_TRUE(plain.asked.isEmpty());
        EXPECT_FALSE(Parsed_Slots(text).contains(QStringLiteral("GRUSS@EXAMPLE.DE")));
    }
}

TEST(Vcard_Screen, EncodedAddressesAreLeftToTheParser)
{
    Wanted_Set nothing({});
    const QList<QByteArray> encoded = {
        // Quoted-printable, with and without the parameter's name, any case.
        Card("2.1", "EMAIL;ENCODING=QUOTED-PRINTABLE:bob=40example.com\r\n"),
        Card("2.1", "EMAIL;quoted-printable:bob=40exam=\r\nple.com\r\n"),
        // Another character set: "+AEA-" is '@' in UTF-7.
        Card("3.0", "EMAIL;CHARSET=UTF-7:bob+AEA-example.com\r\n"),
        // UTF-16.
        QByteArray("\xFF\xFE", 2) + QByteArray("B\0E\0G\0I\0N\0", 10),
    };
    for (const QByteArray& card : encoded)
        EXPECT_TRUE(Vcard_May_Hold(card, nothing)) << card.toStdString();
}

// Many cards in the shapes other programs write, each checked against the
// parser: whenever one of its address slots is wanted, the screen must say so.
TEST(Vcard_Screen, NeverPassesOverACardTheParserMatches)
{
    std::mt19937 random(20261206);
    const auto pick = [&](int n) { return int(random() % unsigned(n)); };
    const QByteArray addresses[] = {"bob@example.com",        "Carol.Jones@Example.ORG",
                                    "x_y-z@mail.example.net", "dave@home.example.",
                                    "gru\xC3\x9F@example.de", "b\xC4\xB1ll@example.com"};
    int decidedFromBytes = 0;
    for (int round = 0; round < 600; ++round) {
        const QByteArray eol = QList<QByteArray>{"\r\n", "\n", "\r"}[pick(3)];
        const QByteArray version = QList<QByteArray>{"2.1", "3.0", "4.0"}[pick(3)];
        QByteArray lines;
        for (int slot = 0; slot < 1 + pick(3); ++slot) {
            QByteArray address = addresses[pick(6)];
            if (pick(2))
                address = address.toUpper();
            QByteArray value = QByteArray(pick(2), ' ') + address + QByteArray(pick(2), ' ');
            QByteArray head = pick(3) ? "EMAIL;TYPE=INTERNET" : "item" + QByteArray::number(slot) + ".EMAIL";
            switch (pick(6)) {
            case 0: // folded somewhere in the value
            {
                const int at = 1 + pick(int(value.size()) - 1);
                value = value.left(at) + eol + (pick(2) ? " " : "\t") + value.mid(at);
                break;
            }
            case 1: // quoted-printable '@'
                head += version == "2.1" && pick(2) ? ";QUOTED-PRINTABLE" : ";ENCODING=QUOTED-PRINTABLE";
                value.replace("@", "=40");
                break;
            case 2: // UTF-7 '@'
                head += ";CHARSET=UTF-7";
                value.replace("@", "+AEA-");
                break;
            default:
                break;
            }
            lines += head + ":" + value + eol;
        }
        QByteArray card = Card(version, lines, eol);
        switch (pick(6)) {
        case 0: // UTF-8 letters elsewhere
            card.replace("NOTE:met at the fair", "NOTE:caf\xC3\xA9");
            break;
        case 1: // Windows-1252: the whole card is read that way
            card = QString::fromUtf8(card).toLatin1();
            break;
        case 2: // an escaped, folded note that names an address
            card.replace("NOTE:met at the fair", "NOTE:write to bob@example.com\\, or\\nc" + eol + " all");
            break;
        case 3: // a quoted-printable note whose soft break swallows an EMAIL-like line
            card.replace("NOTE:met at the fair",
                         "NOTE;ENCODING=QUOTED-PRINTABLE:caf=C3=A9=" + eol + "EMAIL:bob@example.com");
            break;
        default:
            break;
        }

        const QSet<QString> slots = Parsed_Slots(card);
        ASSERT_FALSE(slots.isEmpty()) << card.toStdString();
        for (const QString& slot : slots) {
            if (Is_Plain(slot)) {
                EXPECT_TRUE(Vcard_May_Hold(card, Wanted_Set({slot}))) << slot.toStdString() << "\n"
                                                                      << card.toStdString();
            }
        }
        if (!Vcard_May_Hold(card, Wanted_Set({QStringLiteral("NOBODY@EXAMPLE.COM")})))
            ++decidedFromBytes;
    }
    // Most cards are plain; those must really be passed over.
    EXPECT_GT(decidedFromBytes, 150);
}

namespace {

// What a filter on `field` compares with: the standard field, else the user
// property of that name; nullopt when the card has neither.
std::optional<QString> Filtered_Text(const QByteArray& card, const QString& field)
{
    const auto contact =
        Contact_From_Bytes({QStringLiteral("/nonexistent/x.vcf"), QString(), QString()}, card);
    if (!contact)
        return std::nullopt;
    try {
        return contact->Standard_Field(field);
    } catch (const Outlook_Error&) {
    }
    if (User_Property* property = contact->UserProperties().Find(field))
        return property->Value();
    return std::nullopt;
}

struct Text_Case
{
    const char* Lines; // between FN and END
    const char* Field;
    QString Value;
    bool Parser_Matches; // the card's field reads as the value
};

} // namespace

// Restrict parses only the cards whose bytes may hold the value: the screen
// must never say "no" to a card whose field reads as the value, however the
// card writes it, and must say it to plain cards that lack it.
TEST(Vcard_Screen, TextScreenNeverPassesOverACardWhoseFieldReadsAsTheValue)
{
    const QString status = QStringLiteral("Returned Email");
    const Text_Case cases[] = {
        {"X-BRINDLECAST-USERPROP;X-NAME=Bounce%20Status:Returned Email\r\n", "Bounce Status", status, true},
        {"X-BRINDLECAST-USERPROP;X-NAME=Bounce%20Status:Returned Mail\r\n", "Bounce Status", status, false},
        {"X-OUTLOOK-USER1:Retur\r\n ned Email\r\n", "User1", status, true},
        {"X-OUTLOOK-USER1:Returned\r\n  Email\r\n", "User1", status, true},
        {"ORG:Acme\\, Inc.;Sales\r\n", "CompanyName", QStringLiteral("Acme, Inc."), true},
        {"ADR;TYPE=HOME:;;1 Main St;Springfield;IL;62701;USA\r\n", "HomeAddress",
         QStringLiteral("1 Main St\r\nSpringfield IL 62701\r\nUSA"), true},
        {"CATEGORIES:Friends ,Work\r\n", "Categories", QStringLiteral("Friends, Work"), true},
        {"NOTE:first\\nsecond\r\n", "Body", QStringLiteral("first\r\nsecond"), true},
        {"X-BRINDLECAST-USERPROP;X-NAME=S:50%25 off%3B sent\r\n", "S", QStringLiteral("50% off; sent"), true},
        {"X-OUTLOOK-USER2:Zur\xC3\xBC"
         "ckgesandt\r\n",
         "User2", QStringLiteral("Zur\u00FCckgesandt"), true},
        // Written so that the bytes do not show the value.
        {"NOTE;ENCODING=QUOTED-PRINTABLE:Returned=20Email\r\n", "Body", status, true},
        {"X-OUTLOOK-USER1;CHARSET=UTF-7:Returned+ACA-Email\r\n", "User1", status, true},
        {"X-BRINDLECAST-USERPROP;X-NAME=S:Ret%75rned Email\r\n", "S", status, true},
        {"X-BRINDLECAST-USERPROP;X-NAME=S:Ret\\%75rned Email\r\n", "S", status, true},
        {"X-BRINDLECAST-USERPROP;X-NAME=S:Ret\\urned Email\r\n", "S", status, true},
        {"", "Journal", QStringLiteral("False"), true},
        // A photo's data is never a field's text: it does not stop the screen.
        {"PHOTO;ENCODING=b;TYPE=JPEG:AAAA\r\n", "User1", status, false},
    };
    for (const Text_Case& c : cases) {
        const QByteArray card =
            "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Bob\r\n" + QByteArray(c.Lines) + "END:VCARD\r\n";
        const QString field = QLatin1String(c.Field);
        EXPECT_EQ(Filtered_Text(card, field) == c.Value, c.Parser_Matches) << c.Lines;
        const Text_Screen screen(field == QLatin1String("Journal") ? QString() : c.Value);
        if (c.Parser_Matches) {
            EXPECT_TRUE(Vcard_May_Hold_Text(card, screen)) << c.Lines;
        }
    }

    // Plain cards without the value are decided from their bytes, in UTF-8
    // and in Windows-1252.
    const Text_Screen screen(status);
    for (const QByteArray& lines :
         {QByteArray("X-OUTLOOK-USER1:Returned\r\nNOTE:caf\xC3\xA9 Email\r\n"),
          QByteArray("X-OUTLOOK-USER1:Returned Emails\\, later\r\nNOTE:caf\xE9\r\n"),
          QByteArray("PHOTO;ENCODING=b;TYPE=JPEG:AAAA\r\n")})
        EXPECT_FALSE(Vcard_May_Hold_Text("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Bob\r\n" + lines + "END:VCARD\r\n",
                                         Text_Screen(QStringLiteral("Bounced Email"))))
            << lines.toStdString();
    EXPECT_FALSE(screen.Pieces().empty());
    EXPECT_FALSE(Text_Screen(QStringLiteral(" ;, ")).Usable());
}
