#include "outlook/Ical_Task.h"

#include "config/Text_File.h"
#include "outlook/Item_File_IO.h"
#include "outlook/Write_Gate.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <QUuid>

#include <glib.h>
#include <libical/ical.h>

#include <cstdlib>

namespace bc::outlook {
namespace {

constexpr qint64 kMaxTaskBytes = 8 * 1024 * 1024;
const char* const kUidParam = "X-BRINDLECAST-UID";

void Init_Libical()
{
    // A parse error in someone's file must never abort the program.
    static const bool done = [] {
        icalerror_set_errors_are_fatal(0);
        return true;
    }();
    (void)done;
}

QString Outlook_Text(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

QByteArray Ical_Text(QString text)
{
    // libical takes C strings: a NUL would cut the text short.
    text = Storable_Text(text);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return Without_Leading_Blanks(text).toUtf8();
}

void Remove_All(icalcomponent* component, icalproperty_kind kind)
{
    while (icalproperty* p = icalcomponent_get_first_property(component, kind)) {
        icalcomponent_remove_property(component, p);
        icalproperty_free(p);
    }
}

void Replace(icalcomponent* component, icalproperty_kind kind, icalproperty* replacement)
{
    Remove_All(component, kind);
    if (replacement)
        icalcomponent_add_property(component, replacement);
}

icaltimetype Now_Utc()
{
    return icaltime_from_timet_with_zone(QDateTime::currentSecsSinceEpoch(), 0,
                                         icaltimezone_get_utc_timezone());
}

bool Is_Uuid(const QString& uid)
{
    return uid.size() == 36 && !QUuid::fromString(uid).isNull();
}

QString Link_Uid(icalproperty* contact)
{
    for (icalparameter* p = icalproperty_get_first_parameter(contact, ICAL_X_PARAMETER); p;
         p = icalproperty_get_next_parameter(contact, ICAL_X_PARAMETER)) {
        const char* name = icalparameter_get_xname(p);
        if (name && qstricmp(name, kUidParam) == 0)
            return QUrl::fromPercentEncoding(QByteArray(icalparameter_get_xvalue(p)));
    }
    if (icalparameter* altrep = icalproperty_get_first_parameter(contact, ICAL_ALTREP_PARAMETER)) {
        const QString uri = QString::fromUtf8(icalparameter_get_altrep(altrep));
        if (uri.startsWith(QLatin1String("urn:uuid:"), Qt::CaseInsensitive))
            return uri.mid(9);
    }
    return QString();
}

// The file's lines, folded ones joined (a fold may fall inside a character,
// libical writes them so), each in UTF-8: a line that is not is read as
// Windows-1252, and no other line changes for it.
QByteArray Utf8_Lines(const QByteArray& bytes)
{
    QByteArray unfolded = bytes;
    unfolded.replace("\r\n ", "").replace("\r\n\t", "").replace("\n ", "").replace("\n\t", "");
    if (g_utf8_validate(unfolded.constData(), unfolded.size(), nullptr))
        return unfolded;
    QByteArray out;
    for (const QByteArray& line : unfolded.split('\n')) {
        out += g_utf8_validate(line.constData(), line.size(), nullptr) ? line : From_Cp1252(line).toUtf8();
        out += '\n';
    }
    return out;
}

QString Entry_Hex(const QString& text)
{
    return QString::fromLatin1(text.toUtf8().toHex().toUpper());
}

} // namespace

struct Ical_Task::Impl
{
    icalcomponent* Calendar = nullptr; // owns the VTODO
    icalcomponent* Todo = nullptr;
    QString Path;
    QString Entry_ID;
    QString Folder_Entry; // a new task's folder inside its store, for the EntryID
    QByteArray On_Disk;   // the file as last read or written
    bool Is_New = false;
    bool Damaged = false; // libical dropped lines it could not read

    ~Impl()
    {
        if (Calendar)
            icalcomponent_free(Calendar);
    }
};

Ical_Task::Ical_Task(std::unique_ptr<Impl> impl) : d(std::move(impl)) {}
Ical_Task::~Ical_Task() = default;

QString Ical_Task::EntryID() const
{
    return d->Entry_ID;
}
QString Ical_Task::MessageClass() const
{
    return QStringLiteral("IPM.Task");
}

void Ical_Task::Set_Subject(const QString& subject)
{
    Replace(d->Todo, ICAL_SUMMARY_PROPERTY,
            subject.isEmpty() ? nullptr : icalproperty_new_summary(Ical_Text(subject).constData()));
}

void Ical_Task::Set_Body(const QString& body)
{
    Replace(d->Todo, ICAL_DESCRIPTION_PROPERTY,
            body.isEmpty() ? nullptr : icalproperty_new_description(Ical_Text(body).constData()));
}

void Ical_Task::Set_Importance(int importance)
{
    int priority = 0;
    switch (importance) {
    case olImportanceHigh:
        priority = 1;
        break;
    case olImportanceNormal:
        priority = 5;
        break;
    case olImportanceLow:
        priority = 9;
        break;
    default:
        throw Outlook_Error(QStringLiteral("The importance %1 is not 0, 1 or 2.").arg(importance));
    }
    Replace(d->Todo, ICAL_PRIORITY_PROPERTY, icalproperty_new_priority(priority));
}

void Ical_Task::Set_StartDate(const QDate& date)
{
    if (!date.isValid()) {
        Remove_All(d->Todo, ICAL_DTSTART_PROPERTY);
        return;
    }
    icaltimetype t = icaltime_null_date();
    t.year = date.year();
    t.month = date.month();
    t.day = date.day();
    Replace(d->Todo, ICAL_DTSTART_PROPERTY, icalproperty_new_dtstart(t));
}

void Ical_Task::Add_Link(const Contact_Item& contact)
{
    const QString uid = contact.UID();
    if (uid.isEmpty())
        throw Outlook_Error(QStringLiteral("The contact has no UID to link to."));
    if (Linked_Contact_UIDs().contains(uid))
        return;
    QString name = contact.FullName();
    if (name.isEmpty())
        name = contact.Email_Address(1);
    if (name.isEmpty())
        name = uid;
    icalproperty* link = icalproperty_new_contact(Ical_Text(name).constData());
    icalparameter* x = icalparameter_new_x(QUrl::toPercentEncoding(uid, "@+").constData());
    icalparameter_set_xname(x, kUidParam);
    icalproperty_add_parameter(link, x);
    if (Is_Uuid(uid))
        icalproperty_add_parameter(
            link, icalparameter_new_altrep(("urn:uuid:" + uid.toLower()).toUtf8().constData()));
    icalcomponent_add_property(d->Todo, link);
}

void Ical_Task::Save()
{
    const QByteArray path = QFile::encodeName(d->Path);
    if (d->Is_New) {
        if (!QFileInfo(QFileInfo(d->Path).absolutePath()).isDir())
            throw Outlook_Error(QStringLiteral("The task folder \"%1\" does not exist.")
                                    .arg(QFileInfo(d->Path).absolutePath()));
        if (QFileInfo::exists(d->Path)) {
            // The same task, saved by a run that was cut short before it
            // could finish with its contact: it is not made twice.
            const auto there = std::dynamic_pointer_cast<Ical_Task>(Load_Task_File(d->Path, d->Entry_ID));
            if (there && there->UID() == UID())
                return;
            throw Outlook_Error(QStringLiteral("A task file \"%1\" already exists.").arg(d->Path));
        }
    } else {
        if (d->Damaged)
            throw Outlook_Error(
                QStringLiteral("The task file has lines that cannot be read; it was not changed."));
        QByteArray current;
        if (!Read_Regular_File(path, kMaxTaskBytes, current))
            throw Outlook_Error(QStringLiteral("The task no longer exists."));
        if (current != d->On_Disk)
            throw Outlook_Error(QStringLiteral(
                "The task was changed by another program since it was read; it was not saved."));
    }
    const icaltimetype now = Now_Utc();
    if (d->Is_New && !icalcomponent_get_first_property(d->Todo, ICAL_CREATED_PROPERTY))
        icalcomponent_add_property(d->Todo, icalproperty_new_created(now));
    Replace(d->Todo, ICAL_DTSTAMP_PROPERTY, icalproperty_new_dtstamp(now));
    Replace(d->Todo, ICAL_LASTMODIFIED_PROPERTY, icalproperty_new_lastmodified(now));

    char* text = icalcomponent_as_ical_string_r(d->Calendar);
    const QByteArray bytes(text ? text : "");
    icalmemory_free_buffer(text);
    if (Write_Gate* gate = Installed_Write_Gate(); gate && d->Is_New && !bytes.isEmpty()) {
        gate->Task_Creating(Task_Creation{d->Path, bytes});
        if (gate->Preview())
            return; // stays new: nothing was written
    }
    QString error;
    if (bytes.isEmpty() || !Write_Item_File(path, bytes, !d->Is_New, &error))
        throw Outlook_Error(QStringLiteral("The task could not be saved: %1").arg(error));
    d->On_Disk = bytes;
    d->Is_New = false;
}

void Ical_Task::Set_UID(const QString& uid)
{
    if (!d->Is_New || uid.isEmpty())
        throw Outlook_Error(QStringLiteral("Only a new task takes a UID."));
    Replace(d->Todo, ICAL_UID_PROPERTY, icalproperty_new_uid(Ical_Text(uid).constData()));
    const QString fileName =
        QString::fromUtf8(QUrl::toPercentEncoding(uid, "@+-_.")) + QStringLiteral(".ics");
    d->Path = QDir(QFileInfo(d->Path).absolutePath()).filePath(fileName);
    d->Entry_ID = Entry_Hex(d->Folder_Entry + QLatin1Char('/') + fileName);
}

QString Ical_Task::UID() const
{
    const char* uid = icalcomponent_get_uid(d->Todo);
    return uid ? QString::fromUtf8(uid) : QString();
}

QString Ical_Task::Subject() const
{
    const char* s = icalcomponent_get_summary(d->Todo);
    return s ? QString::fromUtf8(s) : QString();
}

QString Ical_Task::Body() const
{
    const char* s = icalcomponent_get_description(d->Todo);
    return s ? Outlook_Text(QString::fromUtf8(s)) : QString();
}

int Ical_Task::Importance() const
{
    icalproperty* p = icalcomponent_get_first_property(d->Todo, ICAL_PRIORITY_PROPERTY);
    const int priority = p ? icalproperty_get_priority(p) : 0;
    if (priority >= 1 && priority <= 4)
        return olImportanceHigh;
    if (priority >= 6 && priority <= 9)
        return olImportanceLow;
    return olImportanceNormal;
}

QDate Ical_Task::StartDate() const
{
    icalproperty* p = icalcomponent_get_first_property(d->Todo, ICAL_DTSTART_PROPERTY);
    if (!p)
        return QDate();
    const icaltimetype t = icalproperty_get_dtstart(p);
    return icaltime_is_null_time(t) ? QDate() : QDate(t.year, t.month, t.day);
}

QStringList Ical_Task::Linked_Contact_UIDs() const
{
    QStringList uids;
    for (icalproperty* p = icalcomponent_get_first_property(d->Todo, ICAL_CONTACT_PROPERTY); p;
         p = icalcomponent_get_next_property(d->Todo, ICAL_CONTACT_PROPERTY)) {
        const QString uid = Link_Uid(p);
        if (!uid.isEmpty())
            uids.append(uid);
    }
    return uids;
}

std::shared_ptr<Task_Item> New_Task_File(const Task_File_Context& context)
{
    Init_Libical();
    const QString uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    auto impl = std::make_unique<Ical_Task::Impl>();
    impl->Calendar = icalcomponent_new(ICAL_VCALENDAR_COMPONENT);
    icalcomponent_add_property(
        impl->Calendar, icalproperty_new_prodid("-//Brindlecast//Brindlecast " BRINDLECAST_VERSION "//EN"));
    icalcomponent_add_property(impl->Calendar, icalproperty_new_version("2.0"));
    impl->Todo = icalcomponent_new(ICAL_VTODO_COMPONENT);
    icalcomponent_add_property(impl->Todo, icalproperty_new_uid(uid.toUtf8().constData()));
    icalcomponent_add_component(impl->Calendar, impl->Todo);
    const QString fileName = uid + QStringLiteral(".ics");
    impl->Path = QDir(context.Folder_Path).filePath(fileName);
    impl->Entry_ID = Entry_Hex(context.Folder_Entry + QLatin1Char('/') + fileName);
    impl->Folder_Entry = context.Folder_Entry;
    impl->Is_New = true;
    return std::make_shared<Ical_Task>(std::move(impl));
}

std::shared_ptr<Task_Item> Load_Task_File(const QString& filePath, const QString& entryId)
{
    try {
        Init_Libical();
        QByteArray bytes;
        if (!Read_Regular_File(QFile::encodeName(filePath), kMaxTaskBytes, bytes) || bytes.isEmpty() ||
            bytes.contains('\0'))
            return nullptr;
        const QByteArray text = Utf8_Lines(bytes);
        icalcomponent* top = icalparser_parse_string(text.constData());
        if (!top)
            return nullptr;
        auto impl = std::make_unique<Ical_Task::Impl>();
        if (icalcomponent_isa(top) == ICAL_VTODO_COMPONENT) {
            // A bare VTODO gets the calendar around it that the format requires.
            impl->Calendar = icalcomponent_new(ICAL_VCALENDAR_COMPONENT);
            icalcomponent_add_property(
                impl->Calendar,
                icalproperty_new_prodid("-//Brindlecast//Brindlecast " BRINDLECAST_VERSION "//EN"));
            icalcomponent_add_property(impl->Calendar, icalproperty_new_version("2.0"));
            icalcomponent_add_component(impl->Calendar, top);
        } else {
            impl->Calendar = top;
        }
        impl->Todo = icalcomponent_get_first_component(impl->Calendar, ICAL_VTODO_COMPONENT);
        if (!impl->Todo)
            return nullptr;
        impl->Damaged = icalcomponent_count_errors(impl->Calendar) > 0;
        impl->Path = filePath;
        impl->Entry_ID = entryId;
        impl->On_Disk = bytes;
        return std::make_shared<Ical_Task>(std::move(impl));
    } catch (...) {
        return nullptr;
    }
}

} // namespace bc::outlook
