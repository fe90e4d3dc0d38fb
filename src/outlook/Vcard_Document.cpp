#include "outlook/Vcard_Document.h"

#include "config/Text_File.h"

#include <QStringDecoder>

#include <algorithm>
#include <optional>

#include <libebook-contacts/libebook-contacts.h>

namespace bc::outlook {
namespace {

struct Physical_Line
{
    QByteArray Content; // without its line end
    QByteArray Raw;     // with it
};

std::vector<Physical_Line> Split_Physical(const QByteArray& bytes, QByteArray& lineBreak)
{
    std::vector<Physical_Line> out;
    bool breakKnown = false;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    while (start < n) {
        qsizetype end = start;
        while (end < n && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        qsizetype next = end;
        if (next < n) {
            next += (bytes[next] == '\r' && next + 1 < n && bytes[next + 1] == '\n') ? 2 : 1;
            if (!breakKnown) {
                lineBreak = bytes.mid(end, next - end);
                breakKnown = true;
            }
        }
        out.push_back({bytes.mid(start, end - start), bytes.mid(start, next - start)});
        start = next;
    }
    return out;
}

bool Is_Name(const QString& s)
{
    if (s.isEmpty())
        return false;
    for (QChar c : s)
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != QLatin1Char('-') && c != QLatin1Char('_'))
            return false;
    return true;
}

// Splits at `sep` outside double quotes.
QStringList Split_Unquoted(const QString& text, QChar sep)
{
    QStringList parts;
    QString current;
    bool quoted = false;
    for (QChar c : text) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        if (c == sep && !quoted) {
            parts.append(current);
            current.clear();
        } else {
            current.append(c);
        }
    }
    parts.append(current);
    return parts;
}

QString Unquote(QString s)
{
    if (s.size() >= 2 && s.startsWith(QLatin1Char('"')) && s.endsWith(QLatin1Char('"')))
        s = s.mid(1, s.size() - 2);
    return s;
}

bool Parse_Content(const QString& text, Vcard_Line& line)
{
    qsizetype colon = -1;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('"'))
            quoted = !quoted;
        else if (text[i] == QLatin1Char(':') && !quoted) {
            colon = i;
            break;
        }
    }
    if (colon < 0)
        return false;
    QStringList head = Split_Unquoted(text.left(colon), QLatin1Char(';'));
    const QStringList name = head.takeFirst().split(QLatin1Char('.'));
    if (name.size() > 2)
        return false;
    line.Name = name.last();
    line.Group = name.size() == 2 ? name.first() : QString();
    if (!Is_Name(line.Name) || (name.size() == 2 && !Is_Name(line.Group)))
        return false;
    line.Params = head;
    line.Value = text.mid(colon + 1);
    return true;
}

// A parameter QUOTED-PRINTABLE (2.1) or ENCODING=QUOTED-PRINTABLE, as EVCard
// reads them; the value's soft line breaks are then joined.
bool Head_Is_Quoted_Printable(const QByteArray& text)
{
    const qsizetype colon = text.indexOf(':');
    const QList<QByteArray> params = text.left(colon < 0 ? text.size() : colon).split(';');
    for (qsizetype i = 1; i < params.size(); ++i) {
        const QByteArray param = params[i].trimmed().toUpper();
        if (param == "QUOTED-PRINTABLE" || param == "ENCODING=QUOTED-PRINTABLE")
            return true;
    }
    return false;
}

bool Is_Encoding_Param(const QString& param)
{
    const QString upper = param.section(QLatin1Char('='), 0, 0).trimmed().toUpper();
    return upper == QLatin1String("ENCODING") || upper == QLatin1String("CHARSET") ||
           upper == QLatin1String("QUOTED-PRINTABLE") || upper == QLatin1String("BASE64") ||
           upper == QLatin1String("8BIT") || upper == QLatin1String("7BIT");
}

QString Escape_21(const QString& text, QChar separator)
{
    QString out;
    for (QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char(';') || c == separator)
            out.append(QLatin1Char('\\'));
        out.append(c);
    }
    return out;
}

QString Escape_Text(const QString& text)
{
    gchar* escaped = e_vcard_escape_string(text.toUtf8().constData());
    QString out = QString::fromUtf8(escaped);
    g_free(escaped);
    return out;
}

QString Quoted_Printable(const QString& text)
{
    QString normal = text;
    normal.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    normal.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    QString out;
    for (char ch : normal.toUtf8()) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 33 && b <= 126 && b != '=')
            out.append(QLatin1Char(ch));
        else
            out.append(QStringLiteral("=%1").arg(int(b), 2, 16, QLatin1Char('0')).toUpper());
    }
    return out;
}

bool Is_Utf8(const QByteArray& bytes)
{
    return g_utf8_validate(bytes.constData(), bytes.size(), nullptr);
}

// Where a line's value starts: after the first colon outside quotes.
qsizetype Value_Start(const QByteArray& text)
{
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        else if (text[i] == ':' && !quoted)
            return i + 1;
    }
    return text.size();
}

// The CHARSET parameter of a line's head.
QByteArray Charset_Of(const QByteArray& head)
{
    for (const QByteArray& param : head.split(';')) {
        const qsizetype eq = param.indexOf('=');
        if (eq > 0 && param.left(eq).trimmed().compare("CHARSET", Qt::CaseInsensitive) == 0)
            return param.mid(eq + 1).trimmed().replace('"', QByteArray()).replace(':', QByteArray());
    }
    return {};
}

// One logical line as text. True when its bytes are UTF-8; otherwise its
// value is read in the character set the line names, else (and its head
// always) as Windows-1252.
bool Decode_Line(const QByteArray& text, QString& out)
{
    if (Is_Utf8(text)) {
        out = QString::fromUtf8(text);
        return true;
    }
    const qsizetype start = Value_Start(text);
    const QByteArray head = text.left(start);
    const QByteArray value = text.mid(start);
    out = From_Cp1252(head);
    const QByteArray charset = Charset_Of(head);
    if (!charset.isEmpty()) {
        gsize written = 0;
        gchar* converted = g_convert(value.constData(), value.size(), "UTF-8", charset.constData(), nullptr,
                                     &written, nullptr);
        if (converted) {
            const QByteArray utf8(converted, qsizetype(written));
            g_free(converted);
            if (Is_Utf8(utf8) && !utf8.contains('\0') && !utf8.contains('\r') && !utf8.contains('\n')) {
                out += QString::fromUtf8(utf8);
                return false;
            }
        }
    }
    out += From_Cp1252(value);
    return false;
}

bool Is_Charset_Param(const QString& param)
{
    return param.section(QLatin1Char('='), 0, 0)
               .trimmed()
               .compare(QLatin1String("CHARSET"), Qt::CaseInsensitive) == 0;
}

void Quiet_Libebook()
{
    // EVCard warns on stderr about odd escapes in other programs' files; the
    // unattended run's stderr carries the program's own messages only.
    static const bool done = [] {
        g_log_set_handler(
            "libebook-contacts",
            GLogLevelFlags(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE | G_LOG_LEVEL_INFO | G_LOG_LEVEL_DEBUG),
            [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
        return true;
    }();
    (void)done;
}

} // namespace

std::unique_ptr<Vcard_Document> Vcard_Document::Parse(const QByteArray& input)
{
    Quiet_Libebook();
    QByteArray bytes = input;
    // Some Windows programs export UTF-16 with a byte order mark.
    if (input.startsWith("\xFF\xFE") || input.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(input.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE
                                                          : QStringDecoder::Utf16BE);
        const QString text = utf16(input.mid(2));
        if (utf16.hasError())
            return nullptr;
        bytes = text.toUtf8();
    }
    if (bytes.isEmpty() || bytes.contains('\0'))
        return nullptr;
    std::unique_ptr<Vcard_Document> doc(new Vcard_Document);
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        doc->preamble_ = bytes.left(3);
        bytes = bytes.mid(3);
    }
    const std::vector<Physical_Line> physical = Split_Physical(bytes, doc->line_break_);
    std::size_t i = 0;
    while (i < physical.size() && physical[i].Content.trimmed().isEmpty())
        doc->preamble_ += physical[i++].Raw;

    bool ended = false;
    while (i < physical.size()) {
        const Physical_Line& first = physical[i++];
        if (ended) {
            if (!first.Content.trimmed().isEmpty())
                return nullptr; // a second card or trailing garbage
            doc->trailer_ += first.Raw;
            continue;
        }
        Vcard_Line line;
        line.Id = doc->next_id_++;
        line.Raw = first.Raw;
        if (first.Content.isEmpty()) {
            if (doc->lines_.empty())
                return nullptr;
            line.Blank = true;
            doc->lines_.push_back(line);
            continue;
        }
        if (first.Content[0] == ' ' || first.Content[0] == '\t')
            return nullptr; // a continuation with nothing to continue
        QByteArray text = first.Content;
        while (i < physical.size()) {
            const Physical_Line& next = physical[i];
            const bool qp = Head_Is_Quoted_Printable(text);
            const bool softBreak = qp && text.endsWith('=');
            if (!next.Content.isEmpty() && (next.Content[0] == ' ' || next.Content[0] == '\t')) {
                if (softBreak)
                    text.chop(1);
                text += next.Content.mid(1);
            } else if (softBreak && !next.Content.isEmpty()) {
                text.chop(1);
                text += next.Content;
            } else {
                break;
            }
            line.Raw += next.Raw;
            ++i;
        }
        // Each line is decoded on its own and keeps its bytes: one line in
        // another character set must not change how the others read.
        QString decoded;
        line.Decoded = !Decode_Line(text, decoded);
        if (!Parse_Content(decoded, line))
            return nullptr;
        const QString upperName = line.Name.toUpper();
        const bool isCard = line.Value.trimmed().compare(QLatin1String("VCARD"), Qt::CaseInsensitive) == 0;
        if (doc->lines_.empty() && !(upperName == QLatin1String("BEGIN") && isCard && line.Group.isEmpty()))
            return nullptr;
        if (!doc->lines_.empty() && upperName == QLatin1String("BEGIN"))
            return nullptr; // nested cards are not single contacts
        if (upperName == QLatin1String("END")) {
            if (!isCard)
                return nullptr;
            ended = true;
        }
        doc->lines_.push_back(line);
    }
    if (!ended)
        return nullptr;
    return doc;
}

QByteArray Vcard_Document::Serialize() const
{
    QByteArray out = preamble_;
    for (const Vcard_Line& line : lines_)
        out += line.Raw.isEmpty() ? Line_Bytes(line) : line.Raw;
    return out + trailer_;
}

void Vcard_Document::Mark_Saved()
{
    for (Vcard_Line& line : lines_)
        if (line.Raw.isEmpty())
            line.Raw = Line_Bytes(line);
    modified_ = false;
}

QByteArray Vcard_Document::Line_Bytes(const Vcard_Line& line) const
{
    const QString text = Compose(line);
    return Fold(text, Version() == QLatin1String("2.1") && Head_Is_Quoted_Printable(text.toUtf8()));
}

QString Vcard_Document::Version() const
{
    const int index = First_Named(QStringLiteral("VERSION"));
    return index < 0 ? QString() : lines_[std::size_t(index)].Value.trimmed();
}

int Vcard_Document::Index_Of(quint64 id) const
{
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].Id == id)
            return int(i);
    return -1;
}

QList<int> Vcard_Document::Lines_Named(const QString& name) const
{
    QList<int> out;
    for (std::size_t i = 1; i + 1 < lines_.size(); ++i)
        if (!lines_[i].Blank && lines_[i].Name.compare(name, Qt::CaseInsensitive) == 0)
            out.append(int(i));
    return out;
}

int Vcard_Document::First_Named(const QString& name) const
{
    const QList<int> all = Lines_Named(name);
    return all.isEmpty() ? -1 : all.first();
}

int Vcard_Document::End_Index() const
{
    return int(lines_.size()) - 1;
}

namespace {

// The decoded values of the one property of a card that EVCard read from
// `mini`, when it read that property at all.
std::optional<QStringList> Evcard_Values(const QByteArray& mini, const QString& name)
{
    EVCard* card = e_vcard_new_from_string(mini.constData());
    std::optional<QStringList> out;
    for (GList* a = e_vcard_get_attributes(card); a && !out; a = a->next) {
        auto* attribute = static_cast<EVCardAttribute*>(a->data);
        if (QString::fromUtf8(e_vcard_attribute_get_name(attribute)).compare(name, Qt::CaseInsensitive) != 0)
            continue;
        out.emplace();
        for (GList* v = e_vcard_attribute_get_values(attribute); v; v = v->next) {
            // Quoted-printable without a character set may give any bytes.
            const QByteArray value(static_cast<const char*>(v->data));
            out->append(Is_Utf8(value) ? QString::fromUtf8(value) : From_Cp1252(value));
        }
    }
    g_object_unref(card);
    return out;
}

} // namespace

QStringList Vcard_Document::Values(int index) const
{
    // EVCard decodes escapes, quoted-printable and charsets; give it this one
    // line with only the parameters that change how its value reads, and
    // only in a plain form: a parameter it cannot read makes it take the
    // value from a later line.
    Vcard_Line line = Line(index);
    line.Group.clear();
    line.Params.removeIf([&line](const QString& p) {
        const bool plain = std::all_of(p.cbegin(), p.cend(), [](QChar c) {
            return c.unicode() < 0x80 && (c.isLetterOrNumber() || c == u'-' || c == u'=' || c == u'_');
        });
        // The text of a line read in another character set is decoded already.
        return !plain || !Is_Encoding_Param(p) || (line.Decoded && Is_Charset_Param(p));
    });
    const std::optional<QStringList> out =
        Evcard_Values("BEGIN:VCARD\r\n" + Compose(line).toUtf8() + "\r\nEND:VCARD\r\n", line.Name);
    if (!out || out->isEmpty())
        return {QString()};
    return *out;
}

QStringList Vcard_Document::Types(int index) const
{
    QStringList out;
    for (const QString& param : Line(index).Params) {
        const qsizetype eq = param.indexOf(QLatin1Char('='));
        const QString name = (eq < 0 ? param : param.left(eq)).trimmed().toUpper();
        if (eq < 0) {
            if (!Is_Encoding_Param(param) && !name.isEmpty())
                out.append(name);
        } else if (name == QLatin1String("TYPE")) {
            for (const QString& v : Split_Unquoted(param.mid(eq + 1), QLatin1Char(',')))
                for (const QString& t : Unquote(v).split(QLatin1Char(',')))
                    if (!t.trimmed().isEmpty())
                        out.append(t.trimmed().toUpper());
        } else if (name == QLatin1String("PREF")) {
            out.append(QStringLiteral("PREF"));
        }
    }
    return out;
}

QString Vcard_Document::Param(int index, const QString& name, bool* found) const
{
    for (const QString& param : Line(index).Params) {
        const qsizetype eq = param.indexOf(QLatin1Char('='));
        if (eq >= 0 && param.left(eq).trimmed().compare(name, Qt::CaseInsensitive) == 0) {
            if (found)
                *found = true;
            return Unquote(param.mid(eq + 1));
        }
    }
    if (found)
        *found = false;
    return QString();
}

void Vcard_Document::Set_Values(int index, const QStringList& components, QChar separator)
{
    QStringList params;
    for (const QString& p : Line(index).Params)
        if (!Is_Encoding_Param(p))
            params.append(p);
    QStringList escaped;
    if (Version() == QLatin1String("2.1")) {
        // 2.1 has no escape for a line break: such text goes quoted-printable.
        for (const QString& c : components)
            escaped.append(Escape_21(c, separator));
        QString value = escaped.join(separator);
        bool plain = true;
        for (QChar c : value)
            if (c.unicode() < 32 || c.unicode() > 126)
                plain = false;
        if (!plain) {
            value = Quoted_Printable(value);
            params << QStringLiteral("ENCODING=QUOTED-PRINTABLE") << QStringLiteral("CHARSET=UTF-8");
        }
        Change(index, params, value);
        return;
    }
    for (const QString& c : components)
        escaped.append(Escape_Text(c));
    const QString value = escaped.join(separator);
    Change(index, params, value);
}

void Vcard_Document::Set_Encoded(int index, const QString& value)
{
    Change(index, Line(index).Params, value);
}

void Vcard_Document::Set_Params(int index, const QStringList& params)
{
    Change(index, params, Line(index).Value);
}

void Vcard_Document::Change(int index, const QStringList& params, const QString& value)
{
    Vcard_Line& line = lines_[std::size_t(index)];
    if (line.Params == params && line.Value == value)
        return; // the same text: keep the line as it was written
    line.Params = params;
    line.Value = value;
    if (line.Decoded) {
        // Written anew, the line is UTF-8, and says so where the version needs it.
        const auto otherCharset = [](const QString& p) {
            return Is_Charset_Param(p) && p.section(QLatin1Char('='), 1)
                                                  .trimmed()
                                                  .compare(QLatin1String("UTF-8"), Qt::CaseInsensitive) != 0;
        };
        line.Params.removeIf(otherCharset);
        bool ascii = true;
        for (QChar c : value)
            ascii = ascii && c.unicode() < 0x80;
        if (!ascii && Version() == QLatin1String("2.1") &&
            !std::any_of(line.Params.cbegin(), line.Params.cend(), Is_Charset_Param))
            line.Params.append(QStringLiteral("CHARSET=UTF-8"));
        line.Decoded = false;
    }
    line.Raw.clear();
    modified_ = true;
}

int Vcard_Document::Insert(int before, const QString& name, const QStringList& params)
{
    Vcard_Line line;
    line.Id = next_id_++;
    line.Name = name;
    line.Params = params;
    lines_.insert(lines_.begin() + before, line);
    modified_ = true;
    return before;
}

void Vcard_Document::Remove(int index)
{
    lines_.erase(lines_.begin() + index);
    modified_ = true;
}

QString Vcard_Document::Compose(const Vcard_Line& line) const
{
    QString text = line.Group.isEmpty() ? line.Name : line.Group + QLatin1Char('.') + line.Name;
    for (const QString& p : line.Params)
        text += QLatin1Char(';') + p;
    return text + QLatin1Char(':') + line.Value;
}

QByteArray Vcard_Document::Fold(const QString& text, bool quotedPrintable) const
{
    // Lines of at most 75 octets; never inside a UTF-8 sequence, and for
    // quoted-printable never inside an "=XX" and with soft breaks instead.
    const QByteArray bytes = text.toUtf8();
    const qsizetype valueStart = bytes.indexOf(':') + 1;
    QByteArray out;
    qsizetype start = 0;
    bool first = true;
    for (;;) {
        const qsizetype room = (quotedPrintable || first) ? 75 : 74;
        if (bytes.size() - start <= room)
            break;
        qsizetype cut = start + room;
        if (quotedPrintable) {
            cut = std::max(cut, valueStart);
            if (cut >= bytes.size())
                break;
            if (cut - 1 >= valueStart && bytes[cut - 1] == '=')
                cut -= 1;
            else if (cut - 2 >= valueStart && bytes[cut - 2] == '=')
                cut -= 2;
        } else {
            while (cut > start + 1 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80)
                --cut;
        }
        out += bytes.mid(start, cut - start);
        out += quotedPrintable ? "=" + line_break_ : line_break_ + " ";
        start = cut;
        first = false;
    }
    out += bytes.mid(start);
    out += line_break_;
    return out;
}

} // namespace bc::outlook
