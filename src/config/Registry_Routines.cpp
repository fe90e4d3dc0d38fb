#include "config/Registry_Routines.h"

#include "config/Numeric_Text.h"
#include "config/Registry_File_Format.h"
#include "config/Text_File.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <limits>
#include <mutex>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bc {
namespace {

// Held for the whole read-modify-write of the file, so that two running
// instances (or two threads) never lose each other's values. flock belongs to
// the open file, so it also keeps threads of one process apart.
class Registry_Lock
{
public:
    explicit Registry_Lock(const QString& lockPath)
    {
        fd_ = ::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ >= 0)
            while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
            }
    }
    ~Registry_Lock()
    {
        if (fd_ >= 0)
            ::close(fd_); // releases the lock
    }
    Registry_Lock(const Registry_Lock&) = delete;
    Registry_Lock& operator=(const Registry_Lock&) = delete;

private:
    int fd_ = -1;
};

bool Has_Line_Break(const QString& s)
{
    return s.contains(u'\n') || s.contains(u'\r') || s.contains(QChar(0));
}

// The file's section name for a key; only HKEY_CURRENT_USER is kept.
std::optional<QString> Section_Name(quint32 root, const QString& keyPath)
{
    if (root != HKEY_CURRENT_USER || Has_Line_Break(keyPath))
        return std::nullopt;
    QString path = keyPath;
    while (path.startsWith(u'\\'))
        path.remove(0, 1);
    while (path.endsWith(u'\\'))
        path.chop(1);
    return path.isEmpty() ? QStringLiteral("HKEY_CURRENT_USER")
                          : QStringLiteral("HKEY_CURRENT_USER\\") + path;
}

// Only blanks, as the Windows version trimmed: tabs and line breaks are text.
QString Trim_Spaces(const QString& s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s[b] == u' ')
        ++b;
    while (e > b && s[e - 1] == u' ')
        --e;
    return s.mid(b, e - b);
}

// Numbers and numeric text are kept as REG_DWORD. A number that does not fit
// in 32 bits (say a long digit string typed as a field value) is kept as its
// text instead: rounding it or refusing the write would lose what the user
// typed.
reg::Stored_Value To_Stored(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return reg::Stored_Value::Dword(value.toBool() ? -1 : 0); // True is -1
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::SChar:
    case QMetaType::Long:
    case QMetaType::LongLong: {
        const qlonglong v = value.toLongLong();
        if (v >= std::numeric_limits<qint32>::min() && v <= std::numeric_limits<qint32>::max())
            return reg::Stored_Value::Dword(qint32(v));
        return reg::Stored_Value::Text(QString::number(v));
    }
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
        const qulonglong v = value.toULongLong();
        if (v <= qulonglong(std::numeric_limits<qint32>::max()))
            return reg::Stored_Value::Dword(qint32(v));
        return reg::Stored_Value::Text(QString::number(v));
    }
    case QMetaType::Double:
    case QMetaType::Float: {
        if (const auto n = Round_To_Int32(value.toDouble()))
            return reg::Stored_Value::Dword(*n);
        return reg::Stored_Value::Text(value.toString());
    }
    default:
        break;
    }
    const QString text = value.toString();
    if (const auto number = Numeric_Text_Value(text))
        if (const auto n = Round_To_Int32(*number))
            return reg::Stored_Value::Dword(*n);
    return reg::Stored_Value::Text(Trim_Spaces(text));
}

struct Setting_Place
{
    qint16 selector;
    const char* name;
};

constexpr Setting_Place kSettings[] = {
    {HomeDir, "HomeDir"},
    {Contact_Action, "Contact_Action"},
    {Contact_Field_To_Set, "Contact_Field_To_Set"},
    {Contact_Value_To_Set, "Contact_Value_To_Set"},
    {Log_Enabled, "Log_Enabled"},
    {Clear_Email_Address, "Clear_Email_Address"},
    {Email_What_To_Do, "Email_What_To_Do"},
    {Email_Inbox_Folder, "Email_Inbox_Folder"},
    {Email_Inbox_Entry_ID, "Email_Inbox_Entry_ID"},
    {Email_Inbox_StoreID, "Email_Inbox_StoreID"},
    {Email_Destination_Folder, "Email_Destination_Folder"},
    {Email_Destination_EntryID, "Email_Destination_EntryID"},
    {Email_Destination_StoreID, "Email_Destination_StoreID"},
    {ToDo_Status, "ToDo_Status"},
    {ToDo_Regarding, "ToDo_Regarding"},
    {ToDo_Priority, "ToDo_Priority"},
    {ToDo_Alarm, "ToDo_Alarm"},
    {CreateANote, "CreateANote"},
    {Runs_To_Keep, "Runs_To_Keep"},
};

const Setting_Place* Find_Setting(qint16 selector)
{
    for (const Setting_Place& place : kSettings)
        if (place.selector == selector)
            return &place;
    return nullptr;
}

const QString& Key_Of(qint16 selector)
{
    return selector == HomeDir ? kSuiteKey : kProgramKey;
}

// What tells that the file on disk is still the one parsed: every save
// renames a new file into place (a new inode), and an edit in place changes
// the size or the times.
struct File_Stamp
{
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified = {};
    timespec changed = {};
    bool operator==(const File_Stamp& o) const
    {
        return device == o.device && inode == o.inode && size == o.size &&
               modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec &&
               changed.tv_sec == o.changed.tv_sec && changed.tv_nsec == o.changed.tv_nsec;
    }
};

std::optional<File_Stamp> Stamp_Of(const QString& path)
{
    struct stat st = {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return File_Stamp{st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
}

// The settings file parsed once and again only when it changed on disk: a
// large file (other programs' keys) would otherwise be parsed on every read
// of a value, and start-up reads every one of them. Per process, shared by
// threads under the mutex.
struct Parsed_File
{
    std::mutex mutex;
    QString path;
    std::optional<File_Stamp> stamp; // of the file the document was parsed from
    bool present = false;            // the file exists (parsed or not)
    reg::Reg_Document document;
};

Parsed_File g_cache;

// A file changed in the last two seconds may change again without its stamp
// showing it (the times are only as fine as the kernel's clock tick): it is
// parsed again on the next read as well.
bool Recently_Changed(const File_Stamp& stamp)
{
    timespec now = {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return now.tv_sec - stamp.changed.tv_sec < 2;
}

// Brings g_cache up to the file at path. False when the file is missing (an
// empty document) or cannot be read (present stays true, and *error says why).
bool Load_Cached(const QString& path, QString* error = nullptr)
{
    const auto stamp = Stamp_Of(path);
    if (stamp && g_cache.stamp && *stamp == *g_cache.stamp && g_cache.path == path)
        return true;
    g_cache.path = path;
    g_cache.stamp.reset();
    g_cache.document = reg::Reg_Document();
    g_cache.present = stamp.has_value() || QFileInfo::exists(path);
    if (!g_cache.present) {
        if (error)
            *error = QStringLiteral("There is no file %1.").arg(path);
        return false;
    }
    QByteArray bytes;
    if (!Read_Whole_File(path, bytes, error))
        return false;
    g_cache.document = reg::Reg_Document::Parse(bytes);
    if (stamp && !Recently_Changed(*stamp))
        g_cache.stamp = stamp;
    return true;
}

} // namespace

QString Reg_Value_Text(const Reg_Value& value)
{
    if (const auto* text = std::get_if<QString>(&value))
        return *text;
    if (const auto* number = std::get_if<qint32>(&value))
        return QString::number(*number);
    return QString();
}

QString Registry_File()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base)) // relative values are to be ignored
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/Brindlecast/registry.reg");
}

Reg_Value Read_Registry_Value(quint32 root, const QString& keyPath, const QString& valueName)
{
    const auto section = Section_Name(root, keyPath);
    if (!section)
        return {};
    std::lock_guard guard(g_cache.mutex);
    if (!Load_Cached(Registry_File()))
        return {};
    const auto found = g_cache.document.Find(*section, valueName);
    if (!found)
        return {};
    if (found->type == reg::kRegSz) {
        // Up to the first NUL, as a C string reader sees it.
        const qsizetype nul = found->data.indexOf('\0');
        return QString::fromUtf8(nul < 0 ? found->data : found->data.left(nul));
    }
    if (found->type == reg::kRegDword && found->data.size() == 4)
        return qint32(qFromLittleEndian<quint32>(found->data.constData()));
    return {};
}

void Write_Registry_Value(quint32 root, const QString& keyPath, const QString& valueName,
                          const QVariant& value)
{
    const auto section = Section_Name(root, keyPath);
    if (!section || Has_Line_Break(valueName))
        return;
    const reg::Stored_Value stored = To_Stored(value);

    const QString path = Registry_File();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return;
    Registry_Lock lock(path + QStringLiteral(".lock"));
    std::lock_guard guard(g_cache.mutex);

    // A file that is there but cannot be read is left alone: rewriting it
    // from nothing would lose every other value in it.
    if (!Load_Cached(path) && g_cache.present)
        return;
    if (!g_cache.document.Rewritable())
        return;
    if (!g_cache.document.Set(*section, valueName, stored))
        return;
    const QByteArray updated = g_cache.document.Serialize();
    // The document now holds the new value; it matches the file only once
    // the file is in place.
    g_cache.stamp.reset();
    if (Write_File_Atomically(path, updated))
        g_cache.stamp = Stamp_Of(path);
}

bool Setting_Stored(qint16 selector, QString* problem)
{
    const Setting_Place* place = Find_Setting(selector);
    if (!place)
        return false;
    const QString path = Registry_File();
    std::lock_guard guard(g_cache.mutex);
    QString error;
    if (!Load_Cached(path, &error)) {
        if (problem)
            *problem = g_cache.present
                           ? QStringLiteral("The settings file %1 cannot be read: %2").arg(path, error)
                           : QStringLiteral("There is no settings file %1.").arg(path);
        return false;
    }
    const auto found = g_cache.document.Find(*Section_Name(HKEY_CURRENT_USER, Key_Of(selector)),
                                             QString::fromLatin1(place->name));
    if (found && (found->type == reg::kRegSz || (found->type == reg::kRegDword && found->data.size() == 4)))
        return true;
    if (problem)
        *problem = QStringLiteral("The settings file %1 holds no readable %2.")
                       .arg(path, QString::fromLatin1(place->name));
    return false;
}

QString Get_Setting(qint16 selector)
{
    const Setting_Place* place = Find_Setting(selector);
    if (!place)
        return QString();
    return Reg_Value_Text(
        Read_Registry_Value(HKEY_CURRENT_USER, Key_Of(selector), QString::fromLatin1(place->name)));
}

void Save_Setting(qint16 selector, const QVariant& value)
{
    const Setting_Place* place = Find_Setting(selector);
    if (!place)
        return;
    Write_Registry_Value(HKEY_CURRENT_USER, Key_Of(selector), QString::fromLatin1(place->name), value);
}

int Setting_Number(const QString& text)
{
    const double v = Leading_Number(text);
    if (const auto n = Round_To_Int32(v))
        return *n;
    return v < 0 ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
}

} // namespace bc
