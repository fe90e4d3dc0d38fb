#include "outlook/Mail_Reader.h"

#include "outlook/Mail_Message.h"
#include "outlook/Mail_Message_Text.h"

#include <gmime/gmime.h>

#include <QFile>

namespace bc::outlook {
namespace {

// A reader needs the headers and the parts' names, not whole attachments of
// any size.
constexpr qint64 kMax_Message_Bytes = 64 * 1024 * 1024;

QString Addresses(GMimeMessage* message, GMimeAddressType type)
{
    InternetAddressList* list = g_mime_message_get_addresses(message, type);
    if (!list || internet_address_list_length(list) == 0)
        return {};
    char* text = internet_address_list_to_string(list, nullptr, FALSE);
    const QString out = QString::fromUtf8(text).trimmed();
    g_free(text);
    return out;
}

QString Parameter(GMimeObject* object, const char* disposition, const char* type)
{
    const char* value = g_mime_object_get_content_disposition_parameter(object, disposition);
    if (!value || !*value)
        value = g_mime_object_get_content_type_parameter(object, type);
    return value ? QString::fromUtf8(value).trimmed() : QString();
}

bool Is_Attachment(GMimeObject* object)
{
    const char* d = g_mime_object_get_disposition(object);
    return d && g_ascii_strcasecmp(d, "attachment") == 0;
}

void Collect_Attachments(GMimeObject* object, QStringList& out)
{
    if (!object)
        return;
    if (GMIME_IS_MULTIPART(object)) {
        GMimeMultipart* multi = GMIME_MULTIPART(object);
        for (int i = 0; i < g_mime_multipart_get_count(multi); ++i)
            Collect_Attachments(g_mime_multipart_get_part(multi, i), out);
        return;
    }
    if (GMIME_IS_MESSAGE_PART(object)) {
        QString name = Parameter(object, "filename", "name");
        if (name.isEmpty()) {
            GMimeMessage* inner = g_mime_message_part_get_message(GMIME_MESSAGE_PART(object));
            const char* subject = inner ? g_mime_message_get_subject(inner) : nullptr;
            name = subject && *subject ? QString::fromUtf8(subject).trimmed() : QString();
            // As mail programs name an attached message.
            name = (name.isEmpty() ? QStringLiteral("Attached message") : name) + QStringLiteral(".eml");
        }
        out.append(name);
        return;
    }
    if (!GMIME_IS_PART(object))
        return;
    const char* file = g_mime_part_get_filename(GMIME_PART(object));
    if (file && *file)
        out.append(QString::fromUtf8(file).trimmed());
    else if (Is_Attachment(object))
        out.append(QStringLiteral("Unnamed attachment"));
}

} // namespace

Mail_Reader_Headers Parse_Reader_Headers(const QByteArray& data)
{
    mail_text::Ensure_Gmime();
    Mail_Reader_Headers out;
    const qsizetype start = mail_text::Header_Start(data);
    GMimeStream* stream =
        g_mime_stream_mem_new_with_buffer(data.constData() + start, size_t(data.size() - start));
    GMimeParser* parser = g_mime_parser_new_with_stream(stream);
    g_object_unref(stream);
    GMimeMessage* message = g_mime_parser_construct_message(parser, nullptr);
    g_object_unref(parser);
    if (!message)
        return out;
    out.From = Addresses(message, GMIME_ADDRESS_TYPE_FROM);
    out.To = Addresses(message, GMIME_ADDRESS_TYPE_TO);
    out.Cc = Addresses(message, GMIME_ADDRESS_TYPE_CC);
    if (const char* subject = g_mime_message_get_subject(message))
        out.Subject = QString::fromUtf8(subject).trimmed();
    if (GDateTime* date = g_mime_message_get_date(message))
        out.Date = QDateTime::fromSecsSinceEpoch(g_date_time_to_unix(date));
    Collect_Attachments(g_mime_message_get_mime_part(message), out.Attachments);
    g_object_unref(message);
    return out;
}

Mail_Reader_Headers Reader_Headers(const Mail_Item& mail)
{
    const QString path = Message_File(mail);
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    return Parse_Reader_Headers(file.read(kMax_Message_Bytes));
}

QString Message_File(const Mail_Item& mail)
{
    const auto* message = dynamic_cast<const Mail_Message*>(&mail);
    if (!message)
        return {};
    const QString path = QFile::decodeName(message->File_Path());
    return QFile::exists(path) ? path : QString();
}

} // namespace bc::outlook
