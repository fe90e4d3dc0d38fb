#include "outlook/Mail_Message_Text.h"

#include "config/Text_File.h"
#include "outlook/Item_File_IO.h"

#include <gmime/gmime.h>

#include <QStringList>

#include <cerrno>
#include <cstring>
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
    // Exchange's delivery reports use UTF-7's old name, which iconv does not know.
    const char* name = cs == "unicode-1-1-utf-7" ? "UTF-7" : g_mime_charset_iconv_name(cs.constData());
    iconv_t cd = g_mime_iconv_open("UTF-8", name);
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

bool Is_Name(const char* begin, const char* end, const char* wanted)
{
    while (end > begin && (end[-1] == ' ' || end[-1] == '\t'))
        --end;
    const auto n = std::size_t(end - begin);
    return n == qstrlen(wanted) && qstrnicmp(begin, wanted, n) == 0;
}

void Take_Header(const char* name, const char* colon, const char* valueEnd, Header_Summary& out)
{
    const QByteArray value = QByteArray::fromRawData(colon + 1, valueEnd - colon - 1);
    if (!out.Subject && Is_Name(name, colon, "subject"))
        out.Subject = Decode_Header_Text(value);
    else if (!out.Message_Class && Is_Name(name, colon, "x-message-class"))
        out.Message_Class = Decode_Header_Text(value);
}

// Walks the header lines in place: only the two wanted values are copied.
void Parse_Headers(const QByteArray& data, qsizetype begin, qsizetype end, Header_Summary& out)
{
    const char* p = data.constData() + begin;
    const char* const stop = data.constData() + end;
    const char* name = nullptr;
    const char* colon = nullptr;
    const char* valueEnd = nullptr;
    while (p < stop) {
        const char* eol = static_cast<const char*>(std::memchr(p, '\n', std::size_t(stop - p)));
        if (!eol)
            eol = stop;
        if (*p == ' ' || *p == '\t') {
            if (name)
                valueEnd = eol; // a folded continuation
        } else {
            if (name)
                Take_Header(name, colon, valueEnd, out);
            name = nullptr;
            colon = static_cast<const char*>(std::memchr(p, ':', std::size_t(eol - p)));
            if (colon && colon > p) {
                name = p;
                valueEnd = eol;
            }
        }
        p = eol + 1;
    }
    if (name)
        Take_Header(name, colon, valueEnd, out);
}

} // namespace

void Ensure_Gmime()
{
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

QString Decode_Header_Text(const QByteArray& raw)
{
    // Plain ASCII without encoded words only needs unfolding: no GMime call.
    bool plain = !raw.contains("=?");
    for (qsizetype i = 0; plain && i < raw.size(); ++i)
        plain = static_cast<unsigned char>(raw[i]) < 0x80 && raw[i] != '\0';
    if (plain) {
        if (!raw.contains('\n') && !raw.contains('\r'))
            return QString::fromLatin1(raw).trimmed();
        QByteArray unfolded = raw;
        unfolded.replace('\r', QByteArray()).replace('\n', QByteArray());
        return QString::fromLatin1(unfolded).trimmed();
    }
    Ensure_Gmime();
    const QByteArray terminated(raw.constData(), raw.size()); // GMime wants a C string
    char* unfolded = g_mime_utils_header_unfold(terminated.constData());
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

Header_Summary Read_Header_Summary(const QByteArray& path, qsizetype cap, bool wantModified, int dirFd)
{
    Header_Summary out;
    // Regular files only, opened without blocking: a named pipe in a
    // message's place must not hang the listing.
    struct stat st;
    const int fd = Open_Regular_File(path, st, false, dirFd);
    if (fd < 0)
        return out;
    out.Read = true;
    if (wantModified)
        out.Modified = st.st_mtim.tv_sec;
    thread_local QByteArray data; // one buffer per reading thread, kept between files
    data.resize(0);
    qsizetype start = -1;
    qsizetype end = -1;
    while (data.size() < cap) {
        const qsizetype had = data.size();
        const qsizetype want = std::min<qsizetype>(had == 0 ? 8192 : had, cap - had);
        data.resize(had + want);
        ssize_t n;
        do
            n = ::read(fd, data.data() + had, size_t(want));
        while (n < 0 && errno == EINTR);
        data.resize(had + std::max<ssize_t>(n, 0));
        if (n <= 0)
            break;
        if (start < 0 || start >= had)
            start = Header_Start(data); // leading junk may span reads
        end = Header_End(data, std::max(start, had - 3));
        if (end >= 0 || n < want)
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
