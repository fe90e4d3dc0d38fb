#include "outlook/Profile_Folder.h"

#include "outlook/Item_File_IO.h"
#include "outlook/Item_Files.h"
#include "outlook/Mail_Message.h"
#include "outlook/Maildir.h"
#include "outlook/Profile_Items.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <mutex>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bc::outlook {
namespace {

const QString kMail = QStringLiteral("IPM.Note");
const QString kContact = QStringLiteral("IPM.Contact");
const QString kTask = QStringLiteral("IPM.Task");

using maildir::Join;

bool Inside(const QByteArray& root, const QByteArray& path)
{
    return path.startsWith(root.endsWith('/') ? root : root + '/');
}

// Is `dir/name` a directory that stays inside the store?
bool Is_Folder_Directory(const QByteArray& root, const QByteArray& dir, const dirent* e)
{
    const QByteArray path = Join(dir, QByteArray(e->d_name));
    unsigned char type = e->d_type;
    struct stat st;
    if (type == DT_UNKNOWN) {
        if (::lstat(path.constData(), &st) != 0)
            return false;
        type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISLNK(st.st_mode) ? DT_LNK : DT_REG;
    }
    if (type == DT_DIR)
        return true;
    if (type != DT_LNK)
        return false;
    char real[PATH_MAX];
    return ::realpath(path.constData(), real) && Inside(root, QByteArray(real)) && ::stat(real, &st) == 0 &&
           S_ISDIR(st.st_mode);
}

// Names of the subdirectories of dir (dot names only or none of them).
std::vector<QByteArray> Subdirectories(const QByteArray& root, const QByteArray& dir, bool dotted)
{
    std::vector<QByteArray> out;
    DIR* d = ::opendir(dir.constData());
    if (!d)
        return out;
    while (const dirent* e = ::readdir(d)) {
        const QByteArray name(e->d_name);
        if (name == "." || name == ".." || name.startsWith('.') != dotted)
            continue;
        if (Is_Folder_Directory(root, dir, e))
            out.push_back(name);
    }
    ::closedir(d);
    return out;
}

// Maildir++ names are modified UTF-7 (IMAP): "&APw-" is "ü", "&-" is "&".
std::optional<QString> Decode_Modified_Utf7(const QByteArray& raw)
{
    QString out;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (static_cast<unsigned char>(c) >= 0x80)
            return std::nullopt;
        if (c != '&') {
            out.append(QLatin1Char(c));
            continue;
        }
        const qsizetype end = raw.indexOf('-', i + 1);
        if (end < 0)
            return std::nullopt;
        if (end == i + 1) {
            out.append(QLatin1Char('&'));
        } else {
            QByteArray b64 = raw.mid(i + 1, end - i - 1);
            b64.replace(',', '/');
            const auto decoded = QByteArray::fromBase64Encoding(b64, QByteArray::AbortOnBase64DecodingErrors);
            if (!decoded || (*decoded).size() % 2 != 0)
                return std::nullopt;
            const QByteArray& utf16 = *decoded;
            for (qsizetype k = 0; k < utf16.size(); k += 2)
                out.append(QChar(char16_t((uchar(utf16[k]) << 8) | uchar(utf16[k + 1]))));
        }
        i = end;
    }
    return out;
}

bool Is_Inbox_Name(const QByteArray& raw)
{
    return raw.compare("inbox", Qt::CaseInsensitive) == 0;
}

QString Read_Class_File(const QByteArray& dir)
{
    // Never blocks on a pipe put in its place, nor reads a device.
    QByteArray bytes;
    if (!Read_Regular_File(Join(dir, kFolder_Class_File), 4096, bytes))
        return {};
    for (const QByteArray& line : bytes.split('\n')) {
        const QByteArray t = line.trimmed();
        if (!t.startsWith("class="))
            continue;
        const QString cls = QString::fromLatin1(t.mid(6).trimmed());
        if (cls == kMail || cls == kContact || cls == kTask)
            return cls;
    }
    return {};
}

// The kind of a plain directory: its class file, else its content.
// Looking into a directory of many thousand entries costs more than reading
// one item, and every item looked up by its EntryID asks for its folder's
// class afresh. A clear answer (16 files of one kind) is kept for the
// directory, as long as it is the same directory (device and inode).
struct Detected_Class
{
    dev_t Device;
    ino_t Inode;
    QString Class;
};
std::mutex g_detected_mutex;
QHash<QByteArray, Detected_Class> g_detected;

QString Detect_Class(const QByteArray& dir)
{
    const QString stated = Read_Class_File(dir);
    if (!stated.isEmpty())
        return stated;
    if (maildir::Is_Maildir(dir))
        return kMail;
    struct stat st;
    const bool known = ::stat(dir.constData(), &st) == 0;
    if (known) {
        const std::lock_guard<std::mutex> lock(g_detected_mutex);
        const auto found = g_detected.constFind(dir);
        if (found != g_detected.constEnd() && found->Device == st.st_dev && found->Inode == st.st_ino)
            return found->Class;
    }
    int vcf = 0;
    int ics = 0;
    if (DIR* d = ::opendir(dir.constData())) {
        while (const dirent* e = ::readdir(d)) {
            const QByteArray name(e->d_name);
            if (name.endsWith(".vcf") || name.endsWith(".VCF"))
                ++vcf;
            else if (name.endsWith(".ics") || name.endsWith(".ICS"))
                ++ics;
            if (vcf >= 16 || ics >= 16)
                break;
        }
        ::closedir(d);
    }
    if (vcf == 0 && ics == 0)
        return kMail;
    const QString cls = vcf >= ics ? kContact : kTask;
    if (known && (vcf >= 16 || ics >= 16)) {
        const std::lock_guard<std::mutex> lock(g_detected_mutex);
        g_detected.insert(dir, {st.st_dev, st.st_ino, cls});
    }
    return cls;
}

bool Valid_Component(const QByteArray& c)
{
    return !c.isEmpty() && c != "." && c != ".." && !c.contains('\0') && !c.contains('/');
}

std::shared_ptr<Profile_Folder> Find_By_Name(const std::vector<std::shared_ptr<Profile_Folder>>& folders,
                                             const QString& name, const QString& cls)
{
    for (Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive})
        for (const auto& f : folders)
            if (f->Name().compare(name, cs) == 0 && f->DefaultMessageClass() == cls)
                return f;
    return nullptr;
}

bool Name_Taken(const std::vector<std::shared_ptr<Profile_Folder>>& folders, const QString& name)
{
    return std::any_of(folders.begin(), folders.end(),
                       [&](const auto& f) { return f->Name().compare(name, Qt::CaseInsensitive) == 0; });
}

bool Is_Empty_Directory(const QByteArray& dir)
{
    DIR* d = ::opendir(dir.constData());
    if (!d)
        return false;
    bool empty = true;
    while (const dirent* e = ::readdir(d))
        if (qstrcmp(e->d_name, ".") != 0 && qstrcmp(e->d_name, "..") != 0)
            empty = false;
    ::closedir(d);
    return empty;
}

} // namespace

bool Create_Folder_Directory(const QByteArray& dir, const QString& messageClass, QString* error)
{
    if (messageClass == kMail)
        return maildir::Create(dir, error);
    if (!QDir().mkpath(QFile::decodeName(dir))) {
        if (error)
            *error = QStringLiteral("Cannot create the folder %1.").arg(QFile::decodeName(dir));
        return false;
    }
    return Write_Item_File(Join(dir, kFolder_Class_File), "class=" + messageClass.toLatin1() + "\n", true,
                           error);
}

std::optional<QByteArray> Entry_Bytes(const QString& entryId)
{
    if (entryId.isEmpty() || entryId.size() % 2 != 0)
        return std::nullopt;
    for (QChar c : entryId)
        if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
              (c >= QLatin1Char('A') && c <= QLatin1Char('F')) ||
              (c >= QLatin1Char('a') && c <= QLatin1Char('f'))))
            return std::nullopt;
    return QByteArray::fromHex(entryId.toLatin1());
}

Profile_Folder::Profile_Folder(std::shared_ptr<const Profile_Data> profile, std::size_t store,
                               std::shared_ptr<const Profile_Folder> parent, Layout layout, QString name,
                               QByteArray component, QByteArray dir, std::vector<QByteArray> dotted)
    : profile_(std::move(profile)), store_(store), parent_(std::move(parent)), layout_(layout),
      name_(std::move(name)), dir_(std::move(dir)), dotted_(std::move(dotted))
{
    if (parent_)
        path_ = parent_->path_.isEmpty() ? component : parent_->path_ + '/' + component;
    if (layout_ != Layout::Plain)
        class_ = kMail;
}

std::shared_ptr<Profile_Folder> Profile_Folder::Top(std::shared_ptr<const Profile_Data> profile,
                                                    std::size_t store)
{
    if (!profile || store >= profile->Stores.size())
        return nullptr;
    const Profile_Store& s = profile->Stores[store];
    return std::shared_ptr<Profile_Folder>(
        new Profile_Folder(profile, store, nullptr, Layout::Top, s.Name, {}, s.Root, {}));
}

std::shared_ptr<Profile_Folder> Profile_Folder::Make_Child(Layout layout, QString name, QByteArray component,
                                                           QByteArray dir,
                                                           std::vector<QByteArray> dotted) const
{
    return std::shared_ptr<Profile_Folder>(new Profile_Folder(profile_, store_, shared_from_this(), layout,
                                                              std::move(name), std::move(component),
                                                              std::move(dir), std::move(dotted)));
}

QString Profile_Folder::EntryID() const
{
    return QString::fromLatin1((path_.isEmpty() ? QByteArray(kTop_Folder_Path) : path_).toHex().toUpper());
}

QString Profile_Folder::StoreID() const
{
    return Store().Id;
}
QString Profile_Folder::Name() const
{
    return name_;
}

QString Profile_Folder::DefaultMessageClass() const
{
    if (!class_)
        class_ = Detect_Class(dir_);
    return *class_;
}

std::shared_ptr<Mapi_Folder> Profile_Folder::Parent() const
{
    return std::const_pointer_cast<Profile_Folder>(parent_);
}

std::vector<std::shared_ptr<Mapi_Folder>> Profile_Folder::Folders() const
{
    std::vector<std::shared_ptr<Mapi_Folder>> out;
    for (auto& f : Children())
        out.push_back(f);
    return out;
}

void Profile_Folder::Add_Dotted_Children(std::vector<std::shared_ptr<Profile_Folder>>& out) const
{
    const QByteArray& root = Store().Root;
    if (!maildir::Is_Maildir(root))
        return; // Maildir++ folders live beside a Maildir root only
    QSet<QByteArray> seen;
    for (const QByteArray& entry : Subdirectories(root, root, true)) {
        if (!maildir::Is_Maildir(Join(root, entry)))
            continue;
        const QList<QByteArray> parts = entry.mid(1).split('.');
        if (std::any_of(parts.begin(), parts.end(), [](const QByteArray& p) { return p.isEmpty(); }))
            continue;
        std::vector<QByteArray> prefix = dotted_;
        if (layout_ == Layout::Top) {
            if (Is_Inbox_Name(parts[0]))
                continue; // below the root's own Inbox
        } else if (layout_ == Layout::Root_Inbox) {
            if (!Is_Inbox_Name(parts[0]))
                continue;
            prefix = {parts[0]};
        }
        if (qsizetype(prefix.size()) >= parts.size() ||
            !std::equal(prefix.begin(), prefix.end(), parts.begin()))
            continue;
        const QByteArray next = parts[qsizetype(prefix.size())];
        if (seen.contains(next))
            continue;
        seen.insert(next);
        prefix.push_back(next);
        QByteArray dir = root + "/.";
        for (std::size_t i = 0; i < prefix.size(); ++i)
            dir += (i ? "." : "") + prefix[i];
        const auto decoded = Decode_Modified_Utf7(next);
        const QString name = decoded ? *decoded : QFile::decodeName(next);
        const QByteArray component = decoded ? decoded->toUtf8() : next;
        if (Valid_Component(component))
            out.push_back(Make_Child(Layout::Dotted, name, component, dir, prefix));
    }
}

void Profile_Folder::Add_Plain_Children(std::vector<std::shared_ptr<Profile_Folder>>& out) const
{
    const bool isMaildir = maildir::Is_Maildir(dir_);
    for (const QByteArray& entry : Subdirectories(Store().Root, dir_, false)) {
        if (isMaildir && (entry == "cur" || entry == "new" || entry == "tmp"))
            continue;
        out.push_back(Make_Child(Layout::Plain, QFile::decodeName(entry), entry, Join(dir_, entry), {}));
    }
}

std::vector<std::shared_ptr<Profile_Folder>> Profile_Folder::Children() const
{
    std::vector<std::shared_ptr<Profile_Folder>> all;
    switch (layout_) {
    case Layout::Top:
        if (maildir::Is_Maildir(dir_))
            all.push_back(Make_Child(Layout::Root_Inbox, QStringLiteral("Inbox"), "Inbox", dir_, {}));
        Add_Dotted_Children(all);
        Add_Plain_Children(all);
        break;
    case Layout::Root_Inbox:
        Add_Dotted_Children(all);
        break;
    case Layout::Dotted:
        Add_Dotted_Children(all);
        Add_Plain_Children(all);
        break;
    case Layout::Plain:
        Add_Plain_Children(all);
        break;
    }
    // Two ways to the same name: the first one found wins, the other is not shown.
    std::vector<std::shared_ptr<Profile_Folder>> out;
    QSet<QByteArray> names;
    for (auto& f : all) {
        const QByteArray component = f->path_.mid(f->path_.lastIndexOf('/') + 1);
        if (!names.contains(component)) {
            names.insert(component);
            out.push_back(std::move(f));
        }
    }
    std::stable_sort(out.begin(), out.end(), [](const auto& a, const auto& b) {
        return a->name_.compare(b->name_, Qt::CaseInsensitive) < 0;
    });
    return out;
}

std::shared_ptr<Profile_Folder> Profile_Folder::Child(const QByteArray& component) const
{
    if (!Valid_Component(component))
        return nullptr;
    for (auto& f : Children())
        if (f->path_.mid(f->path_.lastIndexOf('/') + 1) == component)
            return f;
    return nullptr;
}

std::shared_ptr<Items_Collection> Profile_Folder::Items()
{
    auto self = std::static_pointer_cast<const Profile_Folder>(shared_from_this());
    const QString cls = DefaultMessageClass();
    if (layout_ == Layout::Top)
        return std::make_shared<Maildir_Items>(self, std::vector<maildir::Entry>{});
    if (cls == kMail)
        return std::make_shared<Maildir_Items>(self, maildir::List_And_Index(dir_));
    return std::make_shared<File_Items>(self, List_Item_Files(dir_, cls == kContact ? ".vcf" : ".ics"));
}

std::shared_ptr<Outlook_Item> Profile_Folder::Find_Item(const QByteArray& uniqueName) const
{
    if (!Valid_Component(uniqueName) || uniqueName.startsWith('.') || layout_ == Layout::Top)
        return nullptr;
    auto self = std::static_pointer_cast<const Profile_Folder>(shared_from_this());
    const QString cls = DefaultMessageClass();
    if (cls == kMail) {
        auto entry = maildir::Find(dir_, uniqueName);
        return entry ? std::make_shared<Mail_Message>(self, *entry) : nullptr;
    }
    const char* ext = cls == kContact ? ".vcf" : ".ics";
    if (!uniqueName.toLower().endsWith(ext))
        return nullptr;
    struct stat st;
    if (::lstat(Join(dir_, uniqueName).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return nullptr;
    return File_Items(self, {uniqueName}).Item(1);
}

std::shared_ptr<Profile_Folder> Resolve_Folder(const std::shared_ptr<const Profile_Data>& profile,
                                               std::size_t store, const QByteArray& path)
{
    auto folder = Profile_Folder::Top(profile, store);
    if (!folder || path == kTop_Folder_Path)
        return folder;
    for (const QByteArray& component : path.split('/')) {
        folder = folder->Child(component);
        if (!folder)
            return nullptr;
    }
    return folder;
}

std::shared_ptr<Profile_Folder> Default_Folder(const std::shared_ptr<const Profile_Data>& profile,
                                               std::size_t store, int kind)
{
    auto top = Profile_Folder::Top(profile, store);
    if (!top)
        return nullptr;
    const QByteArray& root = top->Directory();
    auto children = top->Children();
    QByteArray create; // the directory to make when the folder is missing
    QString cls = kMail;
    switch (kind) {
    case olFolderInbox:
        if (auto f = Find_By_Name(children, QStringLiteral("Inbox"), kMail))
            return f;
        create = Join(root, "Inbox");
        break;
    case olFolderDeletedItems:
        if (auto f = Find_By_Name(children, QStringLiteral("Deleted Items"), kMail))
            return f;
        if (auto f = Find_By_Name(children, QStringLiteral("Trash"), kMail))
            return f;
        // In a Maildir++ store the new folder is a Maildir++ folder as well.
        create = Join(root, maildir::Is_Maildir(root) ? ".Deleted Items" : "Deleted Items");
        break;
    case olFolderTasks: {
        cls = kTask;
        for (const char* name : {"Tasks", "Tasks (Local)"}) {
            if (auto f = Find_By_Name(children, QString::fromLatin1(name), kTask))
                return f;
            for (const auto& f : children)
                if (f->Name() == QLatin1String(name) && f->Kind() == Profile_Folder::Layout::Plain &&
                    Is_Empty_Directory(f->Directory()) && Create_Folder_Directory(f->Directory(), kTask))
                    return Resolve_Folder(profile, store, f->Path());
            if (!Name_Taken(children, QString::fromLatin1(name))) {
                create = Join(root, name);
                break;
            }
        }
        if (create.isEmpty())
            return nullptr;
        break;
    }
    default:
        return nullptr;
    }
    if (!Create_Folder_Directory(create, cls))
        return nullptr;
    if (create.endsWith(".Deleted Items")) {
        const QByteArray marker = Join(create, "maildirfolder"); // Maildir++ marks its subfolders
        ::close(::open(marker.constData(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0600));
        return Resolve_Folder(profile, store, "Deleted Items");
    }
    return Resolve_Folder(profile, store, create.mid(root.size() + 1));
}

QString Deleted_Contacts_Folder(const std::shared_ptr<const Profile_Data>& profile, std::size_t store)
{
    auto top = Profile_Folder::Top(profile, store);
    if (!top)
        return {};
    const auto children = top->Children();
    auto deleted = Find_By_Name(children, QStringLiteral("Deleted Items"), kMail);
    if (!deleted)
        deleted = Find_By_Name(children, QStringLiteral("Trash"), kMail);
    const QByteArray dir = deleted ? deleted->Directory() : Join(top->Directory(), "Deleted Items");
    return QFile::decodeName(Join(dir, "Contacts"));
}

} // namespace bc::outlook
