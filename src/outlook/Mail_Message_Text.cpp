#include "outlook/Mail_Message_Text.h"

#include "config/Text_File.h"

#include <gmime/gmime.h>

#include <QStringList>

#include <cerrno>
#include <mutex>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bc::outlook::mail_text {
namespace {

QString Utf8_Or_Cp1252(const char* data, qsizetype size)
{
    if (g_utf8_validate(data, size, nullptr))
        return QString::fromUtf8(data, size);
    return From_Cp1252(QByteArray(data, size));
}

QString Decode_Charset(const QByteArray& bytes, const char* charset)
{
    const QByteArray cs = QByteArray(charset ? charset : "").trimmed().toLower();
    if (cs.isEmpty())
        return Utf8_Or_Cp1252(bytes.constData(), bytes.size());
    if (cs == "utf-8" || cs == "utf8")
        return QString::fromUtf8(bytes); // damaged sequences become U+FFFD, the rest stays
    if (cs == "us-ascii" || cs == "iso-8859-1" || cs == "latin1" || cs == "windows-1252")
        return From_Cp1252(bytes); // what senders mean by these in practice
    iconv_t cd = g_mime_iconv_open("UTF-8", g_mime_charset_iconv_name(cs.constData()));
    if (cd != reinterpret_cast<iconv_t>(-1)) {
        char* out = g_mime_iconv_strndup(cd, bytes.constData(), size_t(bytes.size()));
        g_mime_iconv_close(cd);
        if (out) {
            QString text = Utf8_Or_Cp1252(out, qsizetype(qstrlen(out)));
            g_free(out);
            return text;
        }
    }
    return Utf8_Or_Cp1252(bytes.constData(), bytes.size());
}

QString Part_Text(GMimePart* part)
{
    GMimeDataWrapper* content = g_mime_part_get_content(part);
    if (!content)
        return {};
    GMimeStream* mem = g_mime_stream_mem_new();
    g_mime_data_wrapper_write_to_stream(content, mem); // undoes base64 / quoted-printable
    GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(mem));
    const QByteArray raw(reinterpret_cast<const char*>(bytes->data), qsizetype(bytes->len));
    g_object_unref(mem);
    return Decode_Charset(raw, g_mime_object_get_content_type_parameter(GMIME_OBJECT(part), "charset"));
}

struct Pick
{
    GMimePart* Part = nullptr;
    bool Html = false;
};

bool Is_Attachment(GMimeObject* object)
{
    const char* d = g_mime_object_get_disposition(object);
    return d && g_ascii_strcasecmp(d, "attachment") == 0;
}

// The part a reader would show as the message's text: attachments, attached
// messages and delivery reports are not part of it.
Pick Main_Text(GMimeObject* object, bool top)
{
    if (!object || GMIME_IS_MESSAGE_PART(object))
        return {};
    GMimeContentType* type = g_mime_object_get_content_type(object);
    if (GMIME_IS_MULTIPART(object)) {
        if (g_mime_content_type_is_type(type, "multipart", "encrypted") ||
            g_mime_content_type_is_type(type, "multipart", "digest"))
            return {};
        GMimeMultipart* multi = GMIME_MULTIPART(object);
        const bool alternative = g_mime_content_type_is_type(type, "multipart", "alternative");
        Pick html;
        for (int i = 0; i < g_mime_multipart_get_count(multi); ++i) {
            const Pick p = Main_Text(g_mime_multipart_get_part(multi, i), false);
            if (p.Part && (!alternative || !p.Html))
                return p;
            if (p.Part && !html.Part)
                html = p;
        }
        return html;
    }
    if (!GMIME_IS_PART(object) || (!top && Is_Attachment(object)))
        return {};
    if (g_mime_content_type_is_type(type, "text", "plain"))
        return {GMIME_PART(object), false};
    if (g_mime_content_type_is_type(type, "text", "html"))
        return {GMIME_PART(object), true};
    if (top && g_mime_content_type_is_type(type, "text", "*"))
        return {GMIME_PART(object), false};
    return {};
}

void Collect_Names(InternetAddressList* list, QStringList& out)
{
    if (!list)
        return;
    for (int i = 0; i < internet_address_list_length(list); ++i) {
        InternetAddress* address = internet_address_list_get_address(list, i);
        if (INTERNET_ADDRESS_IS_GROUP(address)) {
            Collect_Names(internet_address_group_get_members(INTERNET_ADDRESS_GROUP(address)), out);
            continue;
        }
        const char* name = internet_address_get_name(address);
        if (name && *name)
            out.append(QString::fromUtf8(name));
        else if (INTERNET_ADDRESS_IS_MAILBOX(address))
            out.append(
                QString::fromUtf8(internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(address))));
    }
}

QString Header(GMimeObject* object, const char* name)
{
    GMimeHeader* header = g_mime_header_list_get_header(g_mime_object_get_header_list(object), name);
    const char* raw = header ? g_mime_header_get_raw_value(header) : nullptr;
    return raw ? Decode_Header_Text(raw) : QString();
}

bool Is_Blank_Line_At(const QByteArray& data, qsizetype i)
{
    return data[i] == '\n' || (data[i] == '\r' && i + 1 < data.size() && data[i + 1] == '\n');
}

// The end of the header section: the offset of its terminating empty line.
qsizetype Header_End(const QByteArray& data, qsizetype from)
{
    if (from < data.size() && Is_Blank_Line_At(data, from))
        return from;
    for (qsizetype i = data.indexOf('\n', from); i >= 0; i = data.indexOf('\n', i + 1))
        if (i + 1 < data.size() && Is_Blank_Line_At(data, i + 1))
            return i + 1;
    return -1;
}

void Take_Header(const QByteArray& name, const QByteArray& value, Header_Summary& out)
{
    const QByteArray n = name.trimmed();
    if (!out.Subject && n.compare("subject", Qt::CaseInsensitive) == 0)
        out.Subject = Decode_Header_Text(value);
    else if (!out.Message_Class && n.compare("x-message-class", Qt::CaseInsensitive) == 0)
        out.Message_Class = Decode_Header_Text(value);
}

void Parse_Headers(const QByteArray& data, qsizetype begin, qsizetype end, Header_Summary& out)
{
    QByteArray name;
    QByteArray value;
    bool active = false;
    for (qsizetype pos = begin; pos < end;) {
        qsizetype eol = data.indexOf('\n', pos);
        if (eol < 0 || eol > end)
            eol = end;
        QByteArray line = data.mid(pos, eol - pos);
        pos = eol + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.isEmpty() && (line[0] == ' ' || line[0] == '\t')) {
            if (active)
                value += '\n' + line; // a folded continuation
            continue;
        }
        if (active)
            Take_Header(name, value, out);
        const qsizetype colon = line.indexOf(':');
        active = colon > 0;
        if (active) {
            name = line.left(colon);
            value = line.mid(colon + 1);
        }
    }
    if (active)
        Take_Header(name, value, out);
}

} // namespace

void Ensure_Gmime()
{
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

QString Decode_Header_Text(const QByteArray& raw)
{
    Ensure_Gmime();
    char* unfolded = g_mime_utils_header_unfold(raw.constData());
    char* decoded = g_mime_utils_header_decode_text(nullptr, unfolded);
    const QString text = Utf8_Or_Cp1252(decoded, qsizetype(qstrlen(decoded))).trimmed();
    g_free(decoded);
    g_free(unfolded);
    return text;
}

qsizetype Header_Start(const QByteArray& data)
{
    qsizetype i = 0;
    while (i < data.size() && (data[i] == '\r' || data[i] == '\n'))
        ++i;
    if (data.mid(i, 5) == "From ") {
        const qsizetype eol = data.indexOf('\n', i);
        i = eol < 0 ? data.size() : eol + 1;
    }
    return i;
}

Header_Summary Read_Header_Summary(const QByteArray& path, qsizetype cap)
{
    Header_Summary out;
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return out;
    struct stat st;
    if (::fstat(fd, &st) == 0)
        out.Modified = st.st_mtim.tv_sec;
    out.Read = true;
    QByteArray data;
    qsizetype start = -1;
    qsizetype end = -1;
    while (data.size() < cap) {
        const qsizetype had = data.size();
        const qsizetype want = std::min<qsizetype>(had == 0 ? 8192 : had, cap - had);
        data.resize(had + want);
        ssize_t n = ::read(fd, data.data() + had, size_t(want));
        if (n < 0 && errno == EINTR)
            n = 0;
        data.resize(had + std::max<ssize_t>(n, 0));
        if (n <= 0 && data.size() == had)
            break;
        if (start < 0 || start >= had)
            start = Header_Start(data); // leading junk may span reads
        end = Header_End(data, std::max(start, had - 3));
        if (end >= 0)
            break;
    }
    ::close(fd);
    if (start < 0)
        return out;
    Parse_Headers(data, start, end < 0 ? data.size() : end, out);
    return out;
}

Message_Text Parse_Message(const QByteArray& data)
{
    Ensure_Gmime();
    Message_Text out;
    out.Message_Class = QStringLiteral("IPM.Note");
    const qsizetype start = Header_Start(data);
    GMimeStream* stream =
        g_mime_stream_mem_new_with_buffer(data.constData() + start, size_t(data.size() - start));
    GMimeParser* parser = g_mime_parser_new_with_stream(stream);
    g_object_unref(stream);
    GMimeMessage* message = g_mime_parser_construct_message(parser, nullptr);
    g_object_unref(parser);
    if (!message)
        return out;
    GMimeObject* object = GMIME_OBJECT(message);
    out.Subject = Header(object, "Subject");
    const QString cls = Header(object, "X-Message-Class");
    if (!cls.isEmpty())
        out.Message_Class = cls;
    QStringList names;
    Collect_Names(g_mime_message_get_addresses(message, GMIME_ADDRESS_TYPE_TO), names);
    out.Display_To = names.join(QLatin1String("; "));
    const Pick pick = Main_Text(g_mime_message_get_mime_part(message), true);
    if (pick.Part) {
        const QString text = Part_Text(pick.Part);
        out.Body = pick.Html ? Html_To_Text(text) : text;
    }
    g_object_unref(message);
    return out;
}

} // namespace bc::outlook::mail_text
