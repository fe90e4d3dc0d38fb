#include "outlook/Profile_Items.h"

#include "outlook/Contact_Fields.h"
#include "outlook/Item_File_IO.h"
#include "outlook/Item_Files.h"
#include "outlook/Mail_Message.h"
#include "outlook/Name_Sort.h"
#include "outlook/Profile_Folder.h"
#include "outlook/Vcard_Screen.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace bc::outlook {
namespace {

using maildir::Join;

QString Item_Entry_Id(const Profile_Folder& folder, const QByteArray& name)
{
    return QString::fromLatin1((folder.Path() + '/' + name).toHex().toUpper());
}

struct Filter
{
    QString Field;
    QString Value;
};

// [Field] = "value" or [Field] = 'value'; a quote inside the value is doubled.
Filter Parse_Filter(const QString& text)
{
    static const QRegularExpression re(
        QStringLiteral("^\\s*\\[([^\\]]+)\\]\\s*=\\s*(?:\"((?:[^\"]|\"\")*)\"|'((?:[^']|'')*)')\\s*$"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        throw Outlook_Error(QStringLiteral("Cannot parse condition \"%1\".").arg(text));
    Filter f;
    f.Field = m.captured(1);
    if (m.capturedStart(2) >= 0)
        f.Value = m.captured(2).replace(QLatin1String("\"\""), QLatin1String("\""));
    else
        f.Value = m.captured(3).replace(QLatin1String("''"), QLatin1String("'"));
    return f;
}

bool Matches(Contact_Item& contact, const Filter& filter)
{
    try {
        return contact.Standard_Field(filter.Field) == filter.Value;
    } catch (const Outlook_Error&) {
        // Not a standard field: a user-defined property of that name.
    }
    User_Property* property = contact.UserProperties().Find(filter.Field);
    return property && property->Value() == filter.Value;
}

} // namespace

std::vector<QByteArray> List_Item_Files(const QByteArray& dir, const char* ext)
{
    std::vector<QByteArray> out;
    DIR* d = ::opendir(dir.constData());
    if (!d)
        return out;
    const std::size_t suffix = std::strlen(ext);
    bool leftovers = false;
    while (const dirent* e = ::readdir(d)) {
        const std::size_t length = std::strlen(e->d_name);
        if (e->d_name[0] == '.') {
            leftovers = leftovers || Is_Temporary_File_Name(QByteArray(e->d_name, qsizetype(length)));
            continue;
        }
        // The extension in any case of its letters (ASCII only, whatever the locale).
        if (length < suffix || qstrnicmp(e->d_name + length - suffix, ext, suffix) != 0)
            continue;
        const QByteArray name(e->d_name, qsizetype(length));
        bool regular = e->d_type == DT_REG;
        if (e->d_type == DT_UNKNOWN) {
            struct stat st;
            regular = ::lstat(Join(dir, name).constData(), &st) == 0 && S_ISREG(st.st_mode);
        }
        if (regular)
            out.push_back(name);
    }
    ::closedir(d);
    // What a killed save left behind goes with the next listing.
    if (leftovers)
        Remove_Stale_Temporary_Files(dir);
    Sort_By_Name(
        out, [](const QByteArray& name) -> const QByteArray& { return name; },
        [](const QByteArray&, const QByteArray&) { return false; });
    return out;
}

Maildir_Items::Maildir_Items(std::shared_ptr<const Profile_Folder> folder,
                             std::vector<maildir::Entry> entries)
    : folder_(std::move(folder)), entries_(std::move(entries))
{
}

std::shared_ptr<Outlook_Item> Maildir_Items::Item(int index)
{
    if (index < 1 || index > Count())
        return nullptr;
    const maildir::Entry& entry = entries_[std::size_t(index - 1)];
    struct stat st;
    if (::lstat(maildir::File_Path(folder_->Directory(), entry).constData(), &st) == 0 && S_ISREG(st.st_mode))
        return std::make_shared<Mail_Message>(folder_, entry);
    auto now = maildir::Find(folder_->Directory(), entry.Unique);
    return now ? std::make_shared<Mail_Message>(folder_, *now) : nullptr;
}

std::shared_ptr<Task_Item> Maildir_Items::Add_Task()
{
    throw Outlook_Error(QStringLiteral("The folder \"%1\" does not hold tasks.").arg(folder_->Name()));
}

std::shared_ptr<Items_Collection> Maildir_Items::Restrict(const QString& filter)
{
    Parse_Filter(filter);
    throw Outlook_Error(QStringLiteral("Messages cannot be filtered by \"%1\".").arg(filter));
}

File_Items::File_Items(std::shared_ptr<const Profile_Folder> folder, std::vector<QByteArray> files)
    : folder_(std::move(folder)), files_(std::move(files)),
      contacts_(folder_->DefaultMessageClass() == QLatin1String("IPM.Contact"))
{
}

File_Items::~File_Items()
{
    if (dirFd_ >= 0)
        ::close(dirFd_);
}

Contact_File_Context File_Items::Context(int index)
{
    const QByteArray& name = files_[std::size_t(index - 1)];
    if (deleted_.isEmpty())
        deleted_ = Deleted_Contacts_Folder(folder_->Profile(), folder_->Store_Index());
    return Contact_File_Context{QFile::decodeName(Join(folder_->Directory(), name)),
                                Item_Entry_Id(*folder_, name), deleted_,
                                QFile::decodeName(folder_->Store().Root)};
}

void File_Items::Expect_Walk(int first, int last)
{
    ahead_.reset();
    first = std::clamp(first, 1, std::max(1, Count()));
    last = std::clamp(last, 1, std::max(1, Count()));
    walkFirst_ = first;
    walkDown_ = first > last;
    if (Count() == 0)
        return;
    const std::size_t count = std::size_t(std::abs(last - first)) + 1;
    ahead_ = std::make_unique<Read_Ahead>(count, [this](std::size_t offset) {
        const int index = walkDown_ ? walkFirst_ - int(offset) : walkFirst_ + int(offset);
        return Join(folder_->Directory(), files_[std::size_t(index - 1)]);
    });
}

void File_Items::Walked_To(int index)
{
    if (!ahead_)
        return;
    const int offset = walkDown_ ? walkFirst_ - index : index - walkFirst_;
    if (offset >= 0)
        ahead_->Reached(std::size_t(offset));
}

std::shared_ptr<Outlook_Item> File_Items::Item(int index)
{
    if (index < 1 || index > Count())
        return nullptr;
    Walked_To(index);
    if (!Is_Contacts()) {
        const QByteArray& name = files_[std::size_t(index - 1)];
        return Load_Task_File(QFile::decodeName(Join(folder_->Directory(), name)),
                              Item_Entry_Id(*folder_, name));
    }
    return Load_Contact_File(Context(index));
}

std::shared_ptr<Outlook_Item> File_Items::Screened_Item(int index, const Address_Screen& screen)
{
    if (index < 1 || index > Count() || !Is_Contacts())
        return Item(index);
    Walked_To(index);
    if (dirFd_ < 0)
        dirFd_ = ::open(folder_->Directory().constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    QByteArray bytes;
    if (!Read_Contact_Bytes_At(dirFd_, folder_->Directory(), files_[std::size_t(index - 1)], bytes) ||
        !Vcard_May_Hold(bytes, screen))
        return nullptr;
    return Contact_From_Bytes(Context(index), bytes);
}

std::shared_ptr<Task_Item> File_Items::Add_Task()
{
    if (Is_Contacts())
        throw Outlook_Error(QStringLiteral("The folder \"%1\" does not hold tasks.").arg(folder_->Name()));
    return New_Task_File(
        Task_File_Context{QFile::decodeName(folder_->Directory()), QString::fromUtf8(folder_->Path())});
}

std::shared_ptr<Items_Collection> File_Items::Restrict(const QString& filter)
{
    const Filter f = Parse_Filter(filter);
    if (!Is_Contacts())
        throw Outlook_Error(QStringLiteral("Tasks cannot be filtered by \"%1\".").arg(filter));
    // Most cards do not carry the value at all: their bytes tell, unparsed.
    const Text_Screen screen(Is_Computed_Contact_Field(f.Field) ? QString() : f.Value);
    if (deleted_.isEmpty())
        deleted_ = Deleted_Contacts_Folder(folder_->Profile(), folder_->Store_Index());
    const QString deleted = deleted_;
    const QByteArray& dir = folder_->Directory();
    const std::size_t n = files_.size();
    std::vector<char> matching(n, 0);

    Read_In_Parallel(n, [&](std::size_t begin, std::size_t end) {
        QByteArray bytes;
        for (std::size_t i = begin; i < end; ++i) {
            const QByteArray path = Join(dir, files_[i]);
            if (!Read_Contact_Bytes(path, bytes) || !Vcard_May_Hold_Text(bytes, screen))
                continue;
            try {
                const auto contact = Contact_From_Bytes(
                    {QFile::decodeName(path), Item_Entry_Id(*folder_, files_[i]), deleted}, bytes);
                matching[i] = contact && Matches(*contact, f);
            } catch (...) {
                // A card that cannot be read is not picked.
            }
        }
    });

    std::vector<QByteArray> picked;
    for (std::size_t i = 0; i < n; ++i)
        if (matching[i])
            picked.push_back(files_[i]);
    return std::make_shared<File_Items>(folder_, std::move(picked));
}

} // namespace bc::outlook
