#include "config/Registry_File_Format.h"

#include <QList>
#include <QtEndian>

namespace bc::reg {
namespace {

const QByteArray kBom = QByteArrayLiteral("\xEF\xBB\xBF");

bool Is_Blank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArray Trim_Blanks(const QByteArray& s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && Is_Blank(s.at(b)))
        ++b;
    while (e > b && Is_Blank(s.at(e - 1)))
        --e;
    return s.mid(b, e - b);
}

// The same two on views, for the parse of a large file without copies.
QByteArrayView Trim_View(QByteArrayView s)
{
    while (!s.isEmpty() && Is_Blank(s.front()))
        s = s.sliced(1);
    while (!s.isEmpty() && Is_Blank(s.back()))
        s.chop(1);
    return s;
}

QByteArrayView Content_View(QByteArrayView raw)
{
    if (raw.endsWith('\n'))
        raw.chop(1);
    if (raw.endsWith('\r'))
        raw.chop(1);
    return Trim_View(raw);
}

// A case-insensitive prefix test for the ASCII words of the format.
bool Starts_With_Word(QByteArrayView s, QByteArrayView word)
{
    return s.size() >= word.size() && s.first(word.size()).compare(word, Qt::CaseInsensitive) == 0;
}

QByteArray Without_Line_End(const QByteArray& raw)
{
    qsizetype n = raw.size();
    if (n > 0 && raw.at(n - 1) == '\n')
        --n;
    if (n > 0 && raw.at(n - 1) == '\r')
        --n;
    return raw.left(n);
}

// Where the physical line starting at `start` ends, its line end included:
// CR LF, LF and a lone CR each end a line, so that the reader and the writer
// never disagree about where one value stops and the next begins.
qsizetype Line_Stop(const QByteArray& bytes, qsizetype start)
{
    const char* const data = bytes.constData();
    const qsizetype n = bytes.size();
    for (qsizetype i = start; i < n; ++i) {
        if (data[i] == '\n')
            return i + 1;
        if (data[i] == '\r')
            return i + 1 < n && data[i + 1] == '\n' ? i + 2 : i + 1;
    }
    return n;
}

const QByteArray kUtf16_Bom = QByteArrayLiteral("\xFF\xFE");
const QByteArray kUtf16_Header = QByteArrayLiteral("W\0i\0n\0d\0o\0w\0s\0 \0R\0e\0g\0");

QString From_Utf16le(const char* data, qsizetype bytes)
{
    QString text(bytes / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(qFromLittleEndian<quint16>(data + 2 * i));
    return text;
}

QByteArray To_Utf16le(const QString& text)
{
    QByteArray out(text.size() * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        qToLittleEndian<quint16>(text.at(i).unicode(), out.data() + 2 * i);
    return out;
}

QByteArray Line_End_Of(const QByteArray& raw)
{
    return raw.mid(Without_Line_End(raw).size());
}

int Hex_Digit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// 1 to 8 hex digits and nothing else.
std::optional<quint32> Parse_Hex32(QByteArrayView s)
{
    if (s.isEmpty() || s.size() > 8)
        return std::nullopt;
    quint32 v = 0;
    for (char c : s) {
        const int d = Hex_Digit(c);
        if (d < 0)
            return std::nullopt;
        v = v * 16 + quint32(d);
    }
    return v;
}

// A quoted .reg string starting at s[pos] == '"'. Only \\ and \" are escapes;
// a backslash before anything else is taken literally, as a hand-written
// path would mean it. On success pos is just past the closing quote.
std::optional<QByteArray> Parse_Quoted(QByteArrayView s, qsizetype& pos)
{
    QByteArray out;
    for (qsizetype i = pos + 1; i < s.size(); ++i) {
        const char c = s.at(i);
        if (c == '"') {
            pos = i + 1;
            return out;
        }
        if (c == '\\' && i + 1 < s.size() && (s.at(i + 1) == '\\' || s.at(i + 1) == '"')) {
            out.append(s.at(++i));
            continue;
        }
        out.append(c);
    }
    return std::nullopt; // no closing quote: a cut-off line
}

QByteArray Escape(const QByteArray& s)
{
    QByteArray out;
    out.reserve(s.size() + 2);
    for (char c : s) {
        if (c == '\\' || c == '"')
            out.append('\\');
        out.append(c);
    }
    return out;
}

// Comma-separated bytes; a trailing comma is tolerated because a file cut off
// inside a continued line ends in one.
std::optional<QByteArray> Parse_Hex_Bytes(const QByteArray& s)
{
    QByteArray out;
    if (Trim_Blanks(s).isEmpty())
        return out;
    const QList<QByteArray> parts = s.split(',');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QByteArray t = Trim_Blanks(parts.at(i));
        if (t.isEmpty() && i == parts.size() - 1 && i > 0)
            break;
        // Always two digits: a single one is a line cut off mid-byte.
        if (t.size() != 2)
            return std::nullopt;
        const auto v = Parse_Hex32(t);
        if (!v)
            return std::nullopt;
        out.append(char(*v));
    }
    return out;
}

// The data after "name"=. In a UTF-16 export, text given as bytes is UTF-16
// too; it is kept as UTF-8 like every other text.
std::optional<Stored_Value> Parse_Data(QByteArrayView data, bool utf16)
{
    const QByteArrayView d = Trim_View(data);
    if (d.startsWith('"')) {
        qsizetype pos = 0;
        auto text = Parse_Quoted(d, pos);
        if (!text || pos != d.size())
            return std::nullopt;
        text->append('\0');
        return Stored_Value{kRegSz, *text};
    }
    if (Starts_With_Word(d, "dword:")) {
        // Always eight digits, so that a cut-off line reads as damaged
        // rather than as a smaller number.
        const QByteArrayView digits = Trim_View(d.sliced(6));
        const auto v = Parse_Hex32(digits);
        if (!v || digits.size() != 8)
            return std::nullopt;
        return Stored_Value::Dword(qint32(*v));
    }
    quint32 type = kRegBinary;
    qsizetype start = 0;
    if (Starts_With_Word(d, "hex:")) {
        start = 4;
    } else if (Starts_With_Word(d, "hex(")) {
        const qsizetype close = d.indexOf("):");
        if (close < 0)
            return std::nullopt;
        const auto t = Parse_Hex32(d.sliced(4, close - 4));
        if (!t)
            return std::nullopt;
        type = *t;
        start = close + 2;
    } else {
        return std::nullopt;
    }
    auto bytes = Parse_Hex_Bytes(d.sliced(start).toByteArray());
    if (!bytes)
        return std::nullopt;
    if (utf16 && type == kRegSz && bytes->size() % 2 == 0)
        *bytes = From_Utf16le(bytes->constData(), bytes->size()).toUtf8();
    return Stored_Value{type, *bytes};
}

bool Is_Hex_Data(QByteArrayView afterEquals)
{
    return Starts_With_Word(Trim_View(afterEquals), "hex");
}

bool Ends_With_Continuation(const QByteArray& content)
{
    const QByteArray t = Trim_Blanks(content);
    return t.endsWith('\\');
}

// A continuation line never starts a new entry; a file cut off inside a
// continued value must not swallow the section or value after it.
bool Can_Continue_With(const QByteArray& content)
{
    const QByteArray t = Trim_Blanks(content);
    return !t.startsWith('[') && !t.startsWith('"') && !t.startsWith('@');
}

bool Same_Name(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

Stored_Value Stored_Value::Text(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    bytes.append('\0');
    return {kRegSz, bytes};
}

Stored_Value Stored_Value::Dword(qint32 number)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian<quint32>(quint32(number), bytes.data());
    return {kRegDword, bytes};
}

Reg_Document Reg_Document::Parse(const QByteArray& bytes)
{
    Reg_Document doc;
    QByteArray text = bytes;
    qsizetype first = 0;
    if (bytes.startsWith(kUtf16_Bom) || bytes.startsWith(kUtf16_Header)) {
        doc.utf16_ = true;
        doc.bom_ = bytes.startsWith(kUtf16_Bom);
        const qsizetype skip = doc.bom_ ? kUtf16_Bom.size() : 0;
        text = From_Utf16le(bytes.constData() + skip, bytes.size() - skip).toUtf8();
        doc.rewritable_ = bytes.size() % 2 == 0 && doc.Serialize_Text(text) == bytes;
    } else if (bytes.startsWith(kBom)) {
        // An editor's byte order mark stays in front of everything, the
        // header the program may add included.
        doc.bom_ = true;
        first = kBom.size();
    }
    std::vector<QByteArray> physical;
    for (qsizetype start = first; start < text.size();) {
        const qsizetype stop = Line_Stop(text, start);
        physical.push_back(text.mid(start, stop - start));
        start = stop;
    }

    if (!physical.empty() && !Line_End_Of(physical.front()).isEmpty())
        doc.line_end_ = Line_End_Of(physical.front());
    for (std::size_t i = 0; i < physical.size(); ++i) {
        Line line;
        line.raw = physical[i];
        const QByteArrayView content = Content_View(physical[i]);

        if (content.startsWith('[') && content.endsWith(']')) {
            line.kind = Kind::Section;
            line.name = QString::fromUtf8(Trim_View(content.sliced(1, content.size() - 2)));
        } else if (content.startsWith('"') || content.startsWith('@')) {
            qsizetype pos = 1;
            std::optional<QByteArray> name = QByteArray();
            if (content.startsWith('"')) {
                pos = 0;
                name = Parse_Quoted(content, pos);
            }
            while (pos < content.size() && Is_Blank(content.at(pos)))
                ++pos;
            if (name && pos < content.size() && content.at(pos) == '=') {
                QByteArray data = content.sliced(pos + 1).toByteArray();
                if (Is_Hex_Data(data)) {
                    while (Ends_With_Continuation(data)) {
                        data = Trim_Blanks(data);
                        data.chop(1);
                        if (i + 1 >= physical.size() || !Can_Continue_With(Without_Line_End(physical[i + 1])))
                            break; // cut off: keep the bytes read so far
                        ++i;
                        data += Trim_Blanks(Without_Line_End(physical[i]));
                        line.raw += physical[i];
                    }
                }
                line.name = QString::fromUtf8(*name);
                const auto value = Parse_Data(data, doc.utf16_);
                line.kind = value ? Kind::Value : Kind::Unreadable_Value;
                if (value)
                    line.value = *value;
            }
        }
        doc.lines_.push_back(std::move(line));
    }
    doc.Index_Sections();
    return doc;
}

QByteArray Reg_Document::Serialize_Text(const QByteArray& utf8) const
{
    if (!utf16_)
        return bom_ ? kBom + utf8 : utf8;
    const QByteArray out = To_Utf16le(QString::fromUtf8(utf8));
    return bom_ ? kUtf16_Bom + out : out;
}

QByteArray Reg_Document::Serialize() const
{
    QByteArray out;
    bool hasHeader = false;
    if (!lines_.empty()) {
        const QByteArray first = Trim_Blanks(Without_Line_End(lines_.front().raw));
        hasHeader = first == "REGEDIT4" || first.startsWith("Windows Registry Editor Version");
    }
    if (!hasHeader)
        out += (utf16_ ? QByteArrayLiteral("Windows Registry Editor Version 5.00")
                       : QByteArrayLiteral("REGEDIT4")) +
               Line_End() + Line_End();
    for (const Line& line : lines_)
        out += line.raw;
    return Serialize_Text(out);
}

template <typename Visit> void Reg_Document::For_Each_Section(const QString& section, Visit&& visit) const
{
    for (std::size_t k = 0; k < sections_.size(); ++k)
        if (Same_Name(lines_[sections_[k]].name, section))
            visit(sections_[k], k + 1 < sections_.size() ? sections_[k + 1] : lines_.size());
}

void Reg_Document::Index_Sections()
{
    sections_.clear();
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].kind == Kind::Section)
            sections_.push_back(i);
}

std::optional<Stored_Value> Reg_Document::Find(const QString& section, const QString& name) const
{
    std::optional<Stored_Value> found;
    For_Each_Section(section, [&](std::size_t header, std::size_t end) {
        for (std::size_t i = header + 1; i < end; ++i)
            if (lines_[i].kind == Kind::Value && Same_Name(lines_[i].name, name))
                found = lines_[i].value;
    });
    return found;
}

bool Reg_Document::Ends_Without_Line_End(std::size_t index) const
{
    return Line_End_Of(lines_[index].raw).isEmpty();
}

bool Reg_Document::Set(const QString& section, const QString& name, const Stored_Value& value)
{
    std::optional<std::size_t> existing, insertAfter;
    std::vector<std::size_t> duplicates;
    For_Each_Section(section, [&](std::size_t header, std::size_t end) {
        insertAfter = header;
        for (std::size_t i = header + 1; i < end; ++i) {
            const Line& line = lines_[i];
            if (line.kind != Kind::Value && line.kind != Kind::Unreadable_Value)
                continue;
            insertAfter = i;
            if (Same_Name(line.name, name)) {
                if (existing)
                    duplicates.push_back(i);
                else
                    existing = i;
            }
        }
    });

    if (existing) {
        // A damaged line of the same name is replaced too: it is this value.
        Line& line = lines_[*existing];
        const QByteArray raw = Format_Value_Line(line.name, value) + Line_End_Of(line.raw);
        const bool changed = raw != line.raw || !duplicates.empty();
        line.raw = raw;
        line.kind = Kind::Value;
        line.value = value;
        for (auto it = duplicates.rbegin(); it != duplicates.rend(); ++it)
            lines_.erase(lines_.begin() + std::ptrdiff_t(*it));
        if (!duplicates.empty())
            Index_Sections();
        return changed;
    }

    Line added;
    added.kind = Kind::Value;
    added.name = name;
    added.value = value;
    added.raw = Format_Value_Line(name, value) + Line_End();
    if (insertAfter) {
        if (Ends_Without_Line_End(*insertAfter))
            lines_[*insertAfter].raw += Line_End();
        lines_.insert(lines_.begin() + std::ptrdiff_t(*insertAfter) + 1, std::move(added));
        for (std::size_t& header : sections_)
            if (header > *insertAfter)
                ++header;
        return true;
    }

    if (!lines_.empty()) {
        if (Ends_Without_Line_End(lines_.size() - 1))
            lines_.back().raw += Line_End();
        if (!Trim_Blanks(Without_Line_End(lines_.back().raw)).isEmpty())
            lines_.push_back(Line{Kind::Other, Line_End(), {}, {}});
    }
    Line header;
    header.kind = Kind::Section;
    header.name = section;
    header.raw = "[" + section.toUtf8() + "]" + Line_End();
    sections_.push_back(lines_.size());
    lines_.push_back(std::move(header));
    lines_.push_back(std::move(added));
    return true;
}

QByteArray Reg_Document::Format_Value_Line(const QString& name, const Stored_Value& value) const
{
    const QByteArray prefix = name.isEmpty() ? QByteArray("@=") : "\"" + Escape(name.toUtf8()) + "\"=";

    QByteArray data = value.data;
    if (value.type == kRegSz && value.data.endsWith('\0')) {
        const QByteArray text = value.data.left(value.data.size() - 1);
        // Line breaks and inner NULs have no quoted form; such text goes out
        // as bytes. So do bytes that are not UTF-8, to keep them exact.
        const bool utf8 = QString::fromUtf8(text).toUtf8() == text;
        const bool quotable = !text.contains('\0') && !text.contains('\n') && !text.contains('\r') && utf8;
        if (quotable)
            return prefix + "\"" + Escape(text) + "\"";
        // regedit 5 keeps such text as UTF-16 bytes, and reads it back so.
        if (utf16_ && utf8)
            data = To_Utf16le(QString::fromUtf8(value.data));
    }
    if (value.type == kRegDword && value.data.size() == 4) {
        const quint32 v = qFromLittleEndian<quint32>(value.data.constData());
        return prefix + "dword:" + QByteArray::number(v, 16).rightJustified(8, '0');
    }

    // regedit's layout: lines of at most 80 characters, continued with a
    // trailing backslash and indented by two blanks.
    QByteArray out;
    QByteArray line =
        prefix +
        (value.type == kRegBinary ? QByteArray("hex:") : "hex(" + QByteArray::number(value.type, 16) + "):");
    for (qsizetype i = 0; i < data.size(); ++i) {
        QByteArray piece = QByteArray::number(quint8(data.at(i)), 16).rightJustified(2, '0');
        if (i + 1 < data.size())
            piece += ',';
        if (line.size() + piece.size() > 78 && !line.endsWith(':')) {
            out += line + "\\" + Line_End();
            line = "  ";
        }
        line += piece;
    }
    return out + line;
}

} // namespace bc::reg
