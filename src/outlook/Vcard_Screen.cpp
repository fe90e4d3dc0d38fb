#include "outlook/Vcard_Screen.h"

#include <QString>
#include <QStringDecoder>

#include <algorithm>
#include <string_view>

namespace bc::outlook {
namespace {

bool Is_Ascii_Address_Byte(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.' || c == '@';
}

// Bytes of other letters count too: in upper case some become plain ones
// ("ß" becomes "SS"), and a walk compares addresses in upper case.
bool Is_Token_Byte(char c)
{
    return Is_Ascii_Address_Byte(c) || static_cast<unsigned char>(c) >= 0x80;
}

// ASCII only: the letter case rules of the user's locale do not apply here.
char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool Contains_Word(std::string_view text, std::string_view upperWord)
{
    const auto at = std::search(text.begin(), text.end(), upperWord.begin(), upperWord.end(),
                                [](char a, char b) { return Upper(a) == b; });
    return at != text.end();
}

// Whether each value of the card stands in its bytes exactly as the parser
// decodes it: UTF-8 (which the parser takes as it is) without folds, escapes,
// quoted-printable or a character set.
bool Values_As_Written(std::string_view text)
{
    bool lineStart = true;
    bool ascii = true;
    for (const char c : text) {
        if (c == '\0' || c == '\\')
            return false; // UTF-16, binary, or an escape
        if (lineStart && (c == ' ' || c == '\t'))
            return false; // a folded line
        lineStart = c == '\r' || c == '\n';
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    }
    if (!ascii) {
        // Text that is not UTF-8 is read as Windows-1252.
        QStringDecoder utf8(QStringDecoder::Utf8);
        (void)QString(utf8(QByteArrayView(text.data(), qsizetype(text.size()))));
        if (utf8.hasError())
            return false;
    }
    return !Contains_Word(text, "QUOTED-PRINTABLE") && !Contains_Word(text, "CHARSET");
}

// The token in upper case as a walk compares it, or empty when it cannot be
// a wanted address.
QByteArray Upper_Token(std::string_view token)
{
    const bool ascii = std::all_of(token.begin(), token.end(), Is_Ascii_Address_Byte);
    if (ascii) {
        QByteArray out(token.data(), qsizetype(token.size()));
        for (char& c : out)
            c = Upper(c);
        return out;
    }
    const QString upper = QString::fromUtf8(token.data(), qsizetype(token.size())).toUpper();
    for (const QChar c : upper)
        if (c.unicode() >= 0x80 || !Is_Ascii_Address_Byte(char(c.unicode())))
            return {};
    return upper.toLatin1();
}

} // namespace

bool Vcard_May_Hold(const QByteArray& bytes, const Address_Screen& screen)
{
    const std::string_view text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (!Values_As_Written(text))
        return true;
    for (std::size_t i = 0; i < text.size();) {
        if (!Is_Token_Byte(text[i])) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        bool at = false;
        for (; i < text.size() && Is_Token_Byte(text[i]); ++i)
            at = at || text[i] == '@';
        if (!at)
            continue;
        const QByteArray upper = Upper_Token(text.substr(start, i - start));
        if (!upper.isEmpty() && screen.Wanted(QLatin1StringView(upper)))
            return true;
    }
    return false;
}

} // namespace bc::outlook
