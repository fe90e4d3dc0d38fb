// A contact file as any program, sync tool or damaged disk may leave it:
// reading, the quick screen, changing and writing back must never crash; an
// untouched card writes back byte for byte; what was written reads back; and
// the screen never passes over a card whose parsed address a walk would match.
#include "config/Address_Case.h"
#include "outlook/Contact_Fields.h"
#include "outlook/Item_File_IO.h"
#include "outlook/Item_Files.h"
#include "outlook/Vcard_Document.h"
#include "outlook/Vcard_Screen.h"
#include "outlook/Vcard_User_Properties.h"

#include <cstddef>
#include <cstdint>

namespace {

using namespace bc::outlook;

class One_Address final : public Address_Screen
{
public:
    explicit One_Address(QString address) : address_(std::move(address)) {}
    bool Wanted(QLatin1StringView address) const override { return address_ == address; }

private:
    QString address_;
};

bool Is_Plain(const QString& address)
{
    if (address.isEmpty())
        return false;
    for (QChar c : address)
        if (!((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' || c == u'.' || c == u'-' ||
              c == u'@'))
            return false;
    return address.contains(QLatin1Char('@'));
}

QString Trim_Spaces(QString s)
{
    while (s.startsWith(QLatin1Char(' ')))
        s.remove(0, 1);
    while (s.endsWith(QLatin1Char(' ')))
        s.chop(1);
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    auto card = Vcard_Document::Parse(bytes);
    if (!card)
        return 0;
    const bool utf16 = bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
    if (!utf16 && card->Serialize() != bytes)
        __builtin_trap();

    // The screen against the parser, for every slot a walk would compare.
    for (int slot = 1; slot <= 3; ++slot) {
        const QString address = bc::Upper_Address(
            Trim_Spaces(Read_Contact_Field(*card, QStringLiteral("Email%1Address").arg(slot))));
        if (Is_Plain(address) && !Vcard_May_Hold(bytes, One_Address(address)))
            __builtin_trap();
    }

    // What a run writes: a note, a cleared address, a mark, a UID.
    const QString body = Read_Contact_Field(*card, QStringLiteral("Body")) +
                         QStringLiteral("\r\nReturned Email --------------------------\r\n\r\n") +
                         Storable_Text(QString::fromUtf8(bytes.left(200)));
    try {
        Write_Contact_Field(*card, QStringLiteral("Body"), body);
        Write_Contact_Field(*card, QStringLiteral("Email1Address"), QString());
        Write_Contact_Field(*card, QStringLiteral("User1"), QStringLiteral("Returned Email"));
    } catch (const Outlook_Error&) {
        return 0; // a field the card cannot take is refused, not written
    }
    Vcard_User_Properties properties(*card, [] {});
    properties.Add(QStringLiteral("Status; \"x\""))->Set_Value(QStringLiteral("bounced,\\ 100%"));

    const QByteArray written = card->Serialize();
    auto again = Vcard_Document::Parse(written);
    if (!again)
        __builtin_trap();
    // Line breaks of a note come back as CR LF, as every contact text does.
    QString expected = body;
    expected.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    expected.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    if (Read_Contact_Field(*again, QStringLiteral("Body")) != expected ||
        !Read_Contact_Field(*again, QStringLiteral("Email1Address")).isEmpty() ||
        Read_Contact_Field(*again, QStringLiteral("User1")) != QLatin1String("Returned Email"))
        __builtin_trap();
    Vcard_User_Properties reread(*again, [] {});
    User_Property* status = reread.Find(QStringLiteral("Status; \"x\""));
    if (!status || status->Value() != QLatin1String("bounced,\\ 100%"))
        __builtin_trap();
    return 0;
}
