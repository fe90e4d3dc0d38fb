#include "outlook/Vcard_Screen.h"

#include <QString>

#include <algorithm>
#include <string>
#include <string_view>

namespace bc::outlook {
namespace {

bool Is_Ascii_Address_Byte(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.' || c == '@';
}

// Bytes of other letters belong to the token too: a value with one is
// nobody's plain address, and must not be cut into a part that is.
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

// The text with folded lines joined as the parser joins them: a line break
// followed by a space or tab goes, with that one blank.
std::string Unfolded(const QByteArray& bytes)
{
    std::string out;
    out.reserve(std::size_t(bytes.size()));
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            const qsizetype next = c == '\r' && i + 1 < n && bytes[i + 1] == '\n' ? i + 2 : i + 1;
            if (next < n && (bytes[next] == ' ' || bytes[next] == '\t')) {
                i = next; // the loop steps over the blank
                continue;
            }
        }
        out += c;
    }
    return out;
}

// The token in upper case as a walk compares it, or empty when it cannot be
// a wanted address: a walk never makes a plain letter of any other one.
QByteArray Upper_Token(std::string_view token)
{
    if (!std::all_of(token.begin(), token.end(), Is_Ascii_Address_Byte))
        return {};
    QByteArray out(token.data(), qsizetype(token.size()));
    for (char& c : out)
        c = Upper(c);
    return out;
}

} // namespace

bool Vcard_May_Hold(const QByteArray& bytes, const Address_Screen& screen)
{
    if (bytes.contains('\0') || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return true; // UTF-16 (or not text at all): left to the parser
    const std::string text = Unfolded(bytes);
    const std::string_view all(text);
    for (std::size_t start = 0; start < all.size();) {
        std::size_t end = all.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = all.size();
        const std::string_view line = all.substr(start, end - start);
        start = end + 1;
        // Only EMAIL lines give addresses; any line that names EMAIL is looked at.
        if (!Contains_Word(line, "EMAIL"))
            continue;
        if (Contains_Word(line, "QUOTED-PRINTABLE") || Contains_Word(line, "CHARSET"))
            return true; // its value is decoded: left to the parser
        for (std::size_t i = 0; i < line.size();) {
            if (!Is_Token_Byte(line[i])) {
                ++i;
                continue;
            }
            const std::size_t from = i;
            bool at = false;
            for (; i < line.size() && Is_Token_Byte(line[i]); ++i)
                at = at || line[i] == '@';
            if (!at)
                continue;
            const QByteArray upper = Upper_Token(line.substr(from, i - from));
            if (!upper.isEmpty() && screen.Wanted(QLatin1StringView(upper)))
                return true;
        }
    }
    return false;
}

} // namespace bc::outlook
