#include "outlook/Vcard_Screen.h"

#include <QString>
#include <QStringDecoder>

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

// The parser reads text that is not UTF-8 as Windows-1252.
bool Is_Utf8(const QByteArray& bytes)
{
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return true;
    QStringDecoder utf8(QStringDecoder::Utf8);
    (void)QString(utf8(bytes));
    return !utf8.hasError();
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

// Bytes that never stand inside a piece of a screened text: blanks and
// controls (line breaks are rewritten, values simplified), escape and value
// separators, and the percent sign of encoded user property values.
bool Is_Piece_Separator(unsigned char c)
{
    return c <= 0x20 || c == 0x7F || c == '\\' || c == ',' || c == ';' || c == ':' || c == '%';
}

bool Is_Hex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// The part of a line before its value: up to the first ':' outside double
// quotes, or the whole line when there is none.
std::string_view Head_Of(std::string_view line)
{
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted)
            return line.substr(0, i);
    }
    return line;
}

// Properties whose values are data, never the text of a field.
bool Is_Binary_Property(std::string_view head)
{
    std::string_view name = head.substr(0, std::min(head.find(';'), head.size()));
    if (const std::size_t dot = name.rfind('.'); dot != std::string_view::npos)
        name.remove_prefix(dot + 1);
    const auto is = [&](std::string_view upper) {
        return name.size() == upper.size() && std::equal(name.begin(), name.end(), upper.begin(),
                                                         [](char a, char b) { return Upper(a) == b; });
    };
    return is("PHOTO") || is("LOGO") || is("SOUND") || is("KEY");
}

// Whether the parser may read the line's value other than as its bytes, so
// that a piece appears in the value without standing in the bytes.
bool May_Decode_Into_Pieces(std::string_view line)
{
    const std::string_view head = Head_Of(line);
    if (Is_Binary_Property(head))
        return false;
    if (Contains_Word(head, "QUOTED-PRINTABLE") || Contains_Word(head, "ENCODING") ||
        Contains_Word(head, "CHARSET") || Contains_Word(head, "BASE64"))
        return true;
    for (std::size_t i = line.find_first_of("\\%"); i != std::string_view::npos;
         i = line.find_first_of("\\%", i + 1)) {
        if (line[i] == '\\' && i + 1 < line.size()) {
            const char next = line[i + 1];
            // An odd escape: the backslash may simply go. The next byte is
            // still looked at: "\%41" may become a percent-encoded letter.
            if (next != 'n' && next != 'N' && !Is_Piece_Separator(static_cast<unsigned char>(next)))
                return true;
        } else if (line[i] == '%' && i + 2 < line.size() && Is_Hex(line[i + 1]) && Is_Hex(line[i + 2])) {
            const auto decoded =
                static_cast<unsigned char>(QByteArray(line.data() + i + 1, 2).toUInt(nullptr, 16));
            if (!Is_Piece_Separator(decoded))
                return true;
        }
    }
    return false;
}

// Whether a line break is followed by a blank somewhere: folded lines.
bool Has_Fold(std::string_view text)
{
    for (std::size_t i = text.find_first_of("\r\n"); i != std::string_view::npos && i + 1 < text.size();
         i = text.find_first_of("\r\n", i + 1)) {
        if (text[i + 1] == ' ' || text[i + 1] == '\t')
            return true;
    }
    return false;
}

bool Holds_Every_Piece(std::string_view text, const std::vector<QByteArray>& pieces)
{
    for (const QByteArray& piece : pieces)
        if (text.find(std::string_view(piece.constData(), std::size_t(piece.size()))) ==
            std::string_view::npos)
            return false;
    return true;
}

} // namespace

Text_Screen::Text_Screen(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    qsizetype start = -1;
    for (qsizetype i = 0; i <= utf8.size(); ++i) {
        const bool separator = i == utf8.size() || Is_Piece_Separator(static_cast<unsigned char>(utf8[i]));
        if (!separator && start < 0)
            start = i;
        if (separator && start >= 0) {
            pieces_.push_back(utf8.mid(start, i - start));
            start = -1;
        }
        if (i < utf8.size() && static_cast<unsigned char>(utf8[i]) >= 0x80)
            ascii_ = false;
    }
    // The longest first: it is the least likely to stand in a card by chance.
    std::sort(pieces_.begin(), pieces_.end(),
              [](const QByteArray& a, const QByteArray& b) { return a.size() > b.size(); });
}

bool Vcard_May_Hold_Text(const QByteArray& bytes, const Text_Screen& screen)
{
    if (!screen.Usable())
        return true;
    const std::string_view raw(bytes.constData(), std::size_t(bytes.size()));
    if (Holds_Every_Piece(raw, screen.Pieces()))
        return true;
    if (bytes.contains('\0') || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return true; // UTF-16 (or not text at all): left to the parser
    // Other text is read as Windows-1252, which keeps ASCII as it is.
    if (!screen.Ascii() && !Is_Utf8(bytes))
        return true;
    std::string unfolded;
    std::string_view all = raw;
    if (Has_Fold(raw)) {
        unfolded = Unfolded(bytes);
        all = unfolded;
        if (Holds_Every_Piece(all, screen.Pieces()))
            return true;
    }
    for (std::size_t start = 0; start < all.size();) {
        std::size_t end = all.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = all.size();
        if (May_Decode_Into_Pieces(all.substr(start, end - start)))
            return true;
        start = end + 1;
    }
    return false;
}

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
