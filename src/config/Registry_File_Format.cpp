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

QByteArray Without_Line_End(const QByteArray& raw)
{
    qsizetype n = raw.size();
    if (n > 0 && raw.at(n - 1) == '\n')
        --n;
    if (n > 0 && raw.at(n - 1) == '\r')
        --n;
    return raw.left(n);
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
std::optional<quint32> Parse_Hex32(const QByteArray& s)
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
std::optional<QByteArray> Parse_Quoted(const QByteArray& s, qsizetype& pos)
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

// The data after "name"=.
std::optional<Stored_Value> Parse_Data(const QByteArray& data)
{
    const QByteArray d = Trim_Blanks(data);
    if (d.startsWith('"')) {
        qsizetype pos = 0;
        auto text = Parse_Quoted(d, pos);
        if (!text || pos != d.size())
            return std::nullopt;
        text->append('\0');
        return Stored_Value{kRegSz, *text};
    }
    const QByteArray lower = d.toLower();
    if (lower.startsWith("dword:")) {
        // Always eight digits, so that a cut-off line reads as damaged
        // rather than as a smaller number.
        const QByteArray digits = Trim_Blanks(d.mid(6));
        const auto v = Parse_Hex32(digits);
        if (!v || digits.size() != 8)
            return std::nullopt;
        return Stored_Value::Dword(qint32(*v));
    }
    quint32 type = kRegBinary;
    qsizetype start = 0;
    if (lower.startsWith("hex:")) {
        start = 4;
    } else if (lower.startsWith("hex(")) {
        const qsizetype close = d.indexOf("):");
        if (close < 0)
            return std::nullopt;
        const auto t = Parse_Hex32(d.mid(4, close - 4));
        if (!t)
            return std::nullopt;
        type = *t;
        start = close + 2;
    } else {
        return std::nullopt;
    }
    auto bytes = Parse_Hex_Bytes(d.mid(start));
    if (!bytes)
        return std::nullopt;
    return Stored_Value{type, *bytes};
}

bool Is_Hex_Data(const QByteArray& afterEquals)
{
    return Trim_Blanks(afterEquals).toLower().startsWith("hex");
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
    // An editor's byte order mark stays in front of everything, the header
    // the program may add included.
    qsizetype first = 0;
    if (bytes.startsWith(kBom)) {
        doc.bom_ = true;
        first = kBom.size();
    }
    std::vector<QByteArray> physical;
    for (qsizetype start = first; start < bytes.size();) {
        qsizetype end = bytes.indexOf('\n', start);
        end = end < 0 ? bytes.size() : end + 1;
        physical.push_back(bytes.mid(start, end - start));
        start = end;
    }

    doc.crlf_ = !physical.empty() && physical.front().endsWith("\r\n");
    for (std::size_t i = 0; i < physical.size(); ++i) {
        Line line;
        line.raw = physical[i];
        QByteArray content = Trim_Blanks(Without_Line_End(physical[i]));

        if (content.startsWith('[') && content.endsWith(']')) {
            line.kind = Kind::Section;
            line.name = QString::fromUtf8(Trim_Blanks(content.mid(1, content.size() - 2)));
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
                QByteArray data = content.mid(pos + 1);
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
                const auto value = Parse_Data(data);
                line.kind = value ? Kind::Value : Kind::Unreadable_Value;
                if (value)
                    line.value = *value;
            }
        }
        doc.lines_.push_back(std::move(line));
    }
    return doc;
}

QByteArray Reg_Document::Serialize() const
{
    QByteArray out = bom_ ? kBom : QByteArray();
    bool hasHeader = false;
    if (!lines_.empty()) {
        const QByteArray first = Trim_Blanks(Without_Line_End(lines_.front().raw));
        hasHeader = first == "REGEDIT4" || first.startsWith("Windows Registry Editor Version");
    }
    if (!hasHeader)
        out += "REGEDIT4" + Line_End() + Line_End();
    for (const Line& line : lines_)
        out += line.raw;
    return out;
}

std::optional<Stored_Value> Reg_Document::Find(const QString& section, const QString& name) const
{
    std::optional<Stored_Value> found;
    bool inSection = false;
    for (const Line& line : lines_) {
        if (line.kind == Kind::Section)
            inSection = Same_Name(line.name, section);
        else if (inSection && line.kind == Kind::Value && Same_Name(line.name, name))
            found = line.value;
    }
    return found;
}

bool Reg_Document::Ends_Without_Line_End(std::size_t index) const
{
    return Line_End_Of(lines_[index].raw).isEmpty();
}

void Reg_Document::Set(const QString& section, const QString& name, const Stored_Value& value)
{
    std::optional<std::size_t> existing, insertAfter;
    std::vector<std::size_t> duplicates;
    bool inSection = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        if (line.kind == Kind::Section) {
            inSection = Same_Name(line.name, section);
            if (inSection)
                insertAfter = i;
        } else if (inSection && (line.kind == Kind::Value || line.kind == Kind::Unreadable_Value)) {
            insertAfter = i;
            if (Same_Name(line.name, name)) {
                if (existing)
                    duplicates.push_back(i);
                else
                    existing = i;
            }
        }
    }

    if (existing) {
        // A damaged line of the same name is replaced too: it is this value.
        Line& line = lines_[*existing];
        line.raw = Format_Value_Line(line.name, value, Line_End()) + Line_End_Of(line.raw);
        line.kind = Kind::Value;
        line.value = value;
        for (auto it = duplicates.rbegin(); it != duplicates.rend(); ++it)
            lines_.erase(lines_.begin() + std::ptrdiff_t(*it));
        return;
    }

    Line added;
    added.kind = Kind::Value;
    added.name = name;
    added.value = value;
    added.raw = Format_Value_Line(name, value, Line_End()) + Line_End();
    if (insertAfter) {
        if (Ends_Without_Line_End(*insertAfter))
            lines_[*insertAfter].raw += Line_End();
        lines_.insert(lines_.begin() + std::ptrdiff_t(*insertAfter) + 1, std::move(added));
        return;
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
    lines_.push_back(std::move(header));
    lines_.push_back(std::move(added));
}

QByteArray Format_Value_Line(const QString& name, const Stored_Value& value, const QByteArray& lineEnd)
{
    const QByteArray prefix = name.isEmpty() ? QByteArray("@=") : "\"" + Escape(name.toUtf8()) + "\"=";

    if (value.type == kRegSz && value.data.endsWith('\0')) {
        const QByteArray text = value.data.left(value.data.size() - 1);
        // Line breaks and inner NULs have no quoted form; such text goes out
        // as bytes. So do bytes that are not UTF-8, to keep them exact.
        const bool quotable = !text.contains('\0') && !text.contains('\n') && !text.contains('\r') &&
                              QString::fromUtf8(text).toUtf8() == text;
        if (quotable)
            return prefix + "\"" + Escape(text) + "\"";
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
    for (qsizetype i = 0; i < value.data.size(); ++i) {
        QByteArray piece = QByteArray::number(quint8(value.data.at(i)), 16).rightJustified(2, '0');
        if (i + 1 < value.data.size())
            piece += ',';
        if (line.size() + piece.size() > 78 && !line.endsWith(':')) {
            out += line + "\\" + lineEnd;
            line = "  ";
        }
        line += piece;
    }
    return out + line;
}

} // namespace bc::reg
