#include "outlook/Profile.h"

#include "config/Text_File.h"
#include "outlook/Profile_Folder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

#include <climits>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace bc::outlook {
namespace {

QString Ini_Path(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("profile.ini"));
}

// profile.ini as lines of bytes, so that a change keeps comments, unknown
// keys, the order of everything the user wrote, its line ends and its
// encoding: a file written in Latin-1 by another tool stays Latin-1.
class Ini_Text
{
public:
    explicit Ini_Text(const QByteArray& bytes = {})
    {
        for (qsizetype start = 0; start < bytes.size();) {
            qsizetype end = bytes.indexOf('\n', start);
            end = end < 0 ? bytes.size() : end + 1;
            lines_.append(bytes.mid(start, end - start));
            start = end;
        }
        if (!lines_.isEmpty() && lines_.first().endsWith("\r\n"))
            line_end_ = "\r\n";
        utf8_ = QUtf8StringView(bytes).isValidUtf8();
    }

    QByteArray Bytes() const { return lines_.join(); }

    QStringList Sections() const
    {
        QStringList out;
        for (const QByteArray& l : lines_)
            if (auto name = Section_Name(l))
                out.append(*name);
        return out;
    }

    QString Value(const QString& section, const QString& key) const
    {
        return Decode(Raw_Value(section, key));
    }

    // The value's bytes as written (a path in the file system's bytes).
    QByteArray Raw_Value(const QString& section, const QString& key) const
    {
        auto [begin, end] = Range(section);
        for (qsizetype i = begin; i < end; ++i) {
            auto kv = Key_Value(lines_[i]);
            if (kv && Decode(kv->first).compare(key, Qt::CaseInsensitive) == 0)
                return kv->second;
        }
        return {};
    }

    void Set(const QString& section, const QString& key, const QString& value)
    {
        QString flat = value;
        flat.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        const QByteArray line = Encode(key + QLatin1Char('=') + flat);
        auto [begin, end] = Range(section);
        if (begin < 0) {
            End_Last_Line();
            if (!lines_.isEmpty() && !lines_.last().trimmed().isEmpty())
                lines_.append(line_end_);
            lines_.append(Encode(QLatin1Char('[') + section + QLatin1Char(']')) + line_end_);
            lines_.append(line + line_end_);
            return;
        }
        qsizetype lastKey = begin - 1;
        for (qsizetype i = begin; i < end; ++i) {
            auto kv = Key_Value(lines_[i]);
            if (!kv)
                continue;
            lastKey = i;
            if (Decode(kv->first).compare(key, Qt::CaseInsensitive) == 0) {
                lines_[i] = line + Line_End_Of(lines_[i]);
                return;
            }
        }
        if (lastKey == lines_.size() - 1)
            End_Last_Line();
        lines_.insert(lastKey + 1, line + line_end_);
    }

private:
    static QByteArray Line_End_Of(const QByteArray& line)
    {
        return line.endsWith("\r\n") ? QByteArray("\r\n")
               : line.endsWith('\n') ? QByteArray("\n")
                                     : QByteArray();
    }

    // Each line in the encoding it is in: UTF-8 when it is valid UTF-8, else
    // Windows-1252 (which reads Latin-1 text as Latin-1).
    static QString Decode(const QByteArray& bytes)
    {
        return QUtf8StringView(bytes).isValidUtf8() ? QString::fromUtf8(bytes) : From_Cp1252(bytes);
    }

    // New lines follow the file: UTF-8, or Windows-1252 in a file that is not
    // UTF-8 when the text fits.
    QByteArray Encode(const QString& text) const
    {
        if (!utf8_) {
            const QByteArray cp1252 = To_Cp1252(text);
            if (From_Cp1252(cp1252) == text)
                return cp1252;
        }
        return text.toUtf8();
    }

    void End_Last_Line()
    {
        if (!lines_.isEmpty() && Line_End_Of(lines_.last()).isEmpty())
            lines_.last() += line_end_;
    }

    static std::optional<QString> Section_Name(const QByteArray& line)
    {
        const QByteArray t = line.trimmed();
        if (t.startsWith('[') && t.endsWith(']'))
            return Decode(t.mid(1, t.size() - 2).trimmed());
        return std::nullopt;
    }

    static std::optional<std::pair<QByteArray, QByteArray>> Key_Value(const QByteArray& line)
    {
        const QByteArray t = line.trimmed();
        if (t.isEmpty() || t.startsWith(';') || t.startsWith('#'))
            return std::nullopt;
        const qsizetype eq = t.indexOf('=');
        if (eq <= 0)
            return std::nullopt;
        QByteArray value = t.mid(eq + 1).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2);
        return std::make_pair(t.left(eq).trimmed(), value);
    }

    // Lines after the section's header up to the next header; (-1, -1) if absent.
    std::pair<qsizetype, qsizetype> Range(const QString& section) const
    {
        for (qsizetype i = 0; i < lines_.size(); ++i) {
            auto name = Section_Name(lines_[i]);
            if (!name || name->compare(section, Qt::CaseInsensitive) != 0)
                continue;
            qsizetype end = i + 1;
            while (end < lines_.size() && !Section_Name(lines_[end]))
                ++end;
            return {i + 1, end};
        }
        return {-1, -1};
    }

    QByteArrayList lines_; // with their line ends
    QByteArray line_end_ = "\n";
    bool utf8_ = true;
};

std::optional<int> Store_Number(const QString& section)
{
    static const QRegularExpression re(QStringLiteral("^store\\s+(\\d{1,6})$"),
                                       QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(section);
    if (!m.hasMatch())
        return std::nullopt;
    return m.captured(1).toInt();
}

bool Is_Store_Id(const QString& id)
{
    static const QRegularExpression re(QStringLiteral("^[0-9A-Fa-f]{32}$"));
    return re.match(id).hasMatch();
}

QString Login_Name()
{
    if (const passwd* pw = ::getpwuid(::getuid())) {
        const QString gecos = QString::fromLocal8Bit(pw->pw_gecos).section(QLatin1Char(','), 0, 0).trimmed();
        if (!gecos.isEmpty())
            return gecos;
        return QString::fromLocal8Bit(pw->pw_name);
    }
    return qEnvironmentVariable("USER");
}

QByteArray Store_Root(const QString& folder, const QString& path, const QByteArray& rawPath = {})
{
    if (!rawPath.isEmpty() && !QUtf8StringView(rawPath).isValidUtf8()) {
        // A path in another encoding (a Latin-1 profile.ini) names its
        // directory by its bytes, as the tool that wrote it meant.
        const QByteArray p = rawPath.startsWith('/') ? rawPath : QFile::encodeName(folder) + '/' + rawPath;
        char resolved[PATH_MAX];
        return ::realpath(p.constData(), resolved) ? QByteArray(resolved) : p;
    }
    QString p = path;
    if (p == QLatin1String("~") || p.startsWith(QLatin1String("~/")))
        p = QDir::homePath() + p.mid(1);
    if (QDir::isRelativePath(p))
        p = QDir(folder).filePath(p);
    p = QDir::cleanPath(QFileInfo(p).absoluteFilePath());
    const QString canonical = QFileInfo(p).canonicalFilePath(); // follows a symlinked store root
    return QFile::encodeName(canonical.isEmpty() ? p : canonical);
}

// The Id of a store section that has none (or a copied one): derived from
// the section and the store's directory, so that it is the same at every
// start even when profile.ini cannot be written, and is written back when it
// can.
QString Derived_Store_Id(int number, const QByteArray& root, const QSet<QString>& taken)
{
    QByteArray seed = "Store " + QByteArray::number(number) + '\n' + root;
    for (;;) {
        const QString id =
            QString::fromLatin1(QCryptographicHash::hash(seed, QCryptographicHash::Md5).toHex().toUpper());
        if (!taken.contains(id))
            return id;
        seed += '\n';
    }
}

bool Create_Store_Folders(const QString& folder, const QString& path, QString* error)
{
    const QByteArray root = Store_Root(folder, path);
    return Create_Folder_Directory(root + "/Inbox", QStringLiteral("IPM.Note"), error) &&
           Create_Folder_Directory(root + "/Deleted Items", QStringLiteral("IPM.Note"), error) &&
           Create_Folder_Directory(root + "/Contacts", QStringLiteral("IPM.Contact"), error) &&
           Create_Folder_Directory(root + "/Tasks", QStringLiteral("IPM.Task"), error);
}

void Add_Store_Section(Ini_Text& ini, int number, const QString& name, const QString& path, const QString& id)
{
    const QString section = QStringLiteral("Store %1").arg(number);
    ini.Set(section, QStringLiteral("Name"), name);
    ini.Set(section, QStringLiteral("Path"), path);
    ini.Set(section, QStringLiteral("Id"), id);
}

bool Write_Ini(const QString& folder, const Ini_Text& ini, QString* error)
{
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("Cannot create the profile folder %1.").arg(folder);
        return false;
    }
    return Write_File_Atomically(Ini_Path(folder), ini.Bytes(), error);
}

// A new profile: the folders first and profile.ini last, so an interrupted
// creation is simply done again at the next start.
bool Create_Profile(const QString& folder, QString* error)
{
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("Cannot create the profile folder %1.").arg(folder);
        return false;
    }
    const QString store = QString::fromLatin1(kDefault_Store_Name);
    if (!Create_Store_Folders(folder, store, error))
        return false;
    Ini_Text ini;
    ini.Set(QStringLiteral("User"), QStringLiteral("Name"), Login_Name());
    ini.Set(QStringLiteral("User"), QStringLiteral("Address"), QString());
    Add_Store_Section(ini, 1, store, store, New_Store_Id());
    return Write_Ini(folder, ini, error);
}

bool Read_Ini(const QString& folder, Ini_Text& ini, QString* error)
{
    QByteArray bytes;
    if (!QFileInfo::exists(Ini_Path(folder)) && !Create_Profile(folder, error))
        return false;
    if (!Read_Whole_File(Ini_Path(folder), bytes, error))
        return false;
    ini = Ini_Text(bytes);
    return true;
}

} // namespace

QString New_Store_Id()
{
    QByteArray bytes(16, Qt::Uninitialized);
    QRandomGenerator::system()->generate(bytes.begin(), bytes.end());
    return QString::fromLatin1(bytes.toHex().toUpper());
}

std::shared_ptr<const Profile_Data> Open_Profile(const QString& folder, QString* error)
{
    if (folder.isEmpty()) {
        if (error)
            *error = QStringLiteral("No profile folder.");
        return nullptr;
    }
    Ini_Text ini;
    if (!Read_Ini(folder, ini, error))
        return nullptr;

    auto profile = std::make_shared<Profile_Data>();
    profile->Folder = folder;
    profile->User_Name = ini.Value(QStringLiteral("User"), QStringLiteral("Name"));
    profile->User_Address = ini.Value(QStringLiteral("User"), QStringLiteral("Address"));

    bool changed = false;
    QSet<QString> ids;
    std::vector<std::pair<int, QString>> sections;
    for (const QString& section : ini.Sections())
        if (auto n = Store_Number(section))
            sections.emplace_back(*n, section);
    std::sort(sections.begin(), sections.end());
    for (const auto& [number, section] : sections) {
        Profile_Store store;
        store.Number = number;
        store.Path = ini.Value(section, QStringLiteral("Path"));
        store.Name = ini.Value(section, QStringLiteral("Name"));
        if (store.Path.isEmpty())
            store.Path = store.Name;
        if (store.Path.isEmpty() ||
            std::any_of(profile->Stores.begin(), profile->Stores.end(),
                        [n = number](const Profile_Store& s) { return s.Number == n; }))
            continue;
        if (store.Name.isEmpty())
            store.Name = QFileInfo(QDir::cleanPath(store.Path)).fileName();
        QByteArray rawPath = ini.Raw_Value(section, QStringLiteral("Path"));
        if (rawPath.isEmpty())
            rawPath = ini.Raw_Value(section, QStringLiteral("Name"));
        store.Root = Store_Root(folder, store.Path, rawPath);
        store.Id = ini.Value(section, QStringLiteral("Id")).toUpper();
        if (!Is_Store_Id(store.Id) || ids.contains(store.Id)) {
            // A hand-made or copied section: give it an identity of its own, once.
            store.Id = Derived_Store_Id(number, store.Root, ids);
            ini.Set(section, QStringLiteral("Id"), store.Id);
            changed = true;
        }
        ids.insert(store.Id);
        profile->Stores.push_back(store);
    }
    if (profile->Stores.empty()) {
        Profile_Store store;
        store.Number = 1;
        store.Name = store.Path = QString::fromLatin1(kDefault_Store_Name);
        if (!Create_Store_Folders(folder, store.Path, error))
            return nullptr;
        store.Root = Store_Root(folder, store.Path);
        store.Id = Derived_Store_Id(store.Number, store.Root, ids);
        Add_Store_Section(ini, 1, store.Name, store.Path, store.Id);
        profile->Stores.push_back(store);
        changed = true;
    }
    // A read-only profile still opens, with the same derived Ids every time.
    if (changed)
        Write_Ini(folder, ini, nullptr);
    return profile;
}

bool Add_Profile_Store(const QString& folder, const QString& name, const QString& path, QString* newId,
                       QString* error)
{
    Ini_Text ini;
    if (!Read_Ini(folder, ini, error))
        return false;
    int number = 0;
    for (const QString& section : ini.Sections())
        number = std::max(number, Store_Number(section).value_or(0));
    const QString id = New_Store_Id();
    Add_Store_Section(ini, number + 1, name, path, id);
    if (!Write_Ini(folder, ini, error))
        return false;
    if (newId)
        *newId = id;
    return true;
}

bool Set_Profile_User(const QString& folder, const QString& name, const QString& address, QString* error)
{
    Ini_Text ini;
    if (!Read_Ini(folder, ini, error))
        return false;
    ini.Set(QStringLiteral("User"), QStringLiteral("Name"), name);
    ini.Set(QStringLiteral("User"), QStringLiteral("Address"), address);
    return Write_Ini(folder, ini, error);
}

} // namespace bc::outlook
