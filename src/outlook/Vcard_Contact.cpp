#include "outlook/Vcard_Contact.h"

#include "config/Text_File.h"
#include "outlook/Contact_Fields.h"
#include "outlook/Vcard_Document.h"
#include "outlook/Vcard_User_Properties.h"
#include "outlook/Write_Gate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bc::outlook {
namespace {

// Far above any real contact (photos included); larger files are not read.
constexpr qint64 kMaxContactBytes = 32 * 1024 * 1024;

bool Is_Single_Contact(const Vcard_Document& card)
{
    auto valueIs = [&](const char* property, const char* value) {
        for (int index : card.Lines_Named(QLatin1String(property)))
            if (card.Line(index).Value.trimmed().compare(QLatin1String(value), Qt::CaseInsensitive) == 0)
                return true;
        return false;
    };
    // Groups (distribution lists) in their vCard 4.0, Apple and Evolution forms.
    return !valueIs("KIND", "group") && !valueIs("X-ADDRESSBOOKSERVER-KIND", "group") &&
           !valueIs("X-EVOLUTION-LIST", "TRUE");
}

QString Numbered_Name(const QFileInfo& info, int n)
{
    if (n == 1)
        return info.fileName();
    const QString stem = info.completeBaseName().isEmpty() ? info.fileName() : info.completeBaseName();
    return info.suffix().isEmpty() || info.completeBaseName().isEmpty()
               ? QStringLiteral("%1 (%2)").arg(stem).arg(n)
               : QStringLiteral("%1 (%2).%3").arg(stem).arg(n).arg(info.suffix());
}

// Moves a file into a folder under its own name, or "name (2).vcf" and so on
// when that is taken: a file already there is never replaced.
void Move_Into_Folder(const QString& source, const QString& folder)
{
    if (folder.isEmpty() || !QDir().mkpath(folder))
        throw Outlook_Error(
            QStringLiteral("The folder for deleted contacts \"%1\" cannot be created.").arg(folder));
    const QFileInfo info(source);
    const QByteArray from = QFile::encodeName(source);
    for (int n = 1; n < 10000; ++n) {
        const QString target = QDir(folder).filePath(Numbered_Name(info, n));
        const QByteArray to = QFile::encodeName(target);
        if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
            return;
        if (errno == EEXIST)
            continue;
        if (errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP) {
            // A file system without no-replace renames: a hard link never replaces either.
            if (::link(from.constData(), to.constData()) == 0) {
                ::unlink(from.constData());
                return;
            }
            if (errno == EEXIST)
                continue;
        }
        if (errno == EXDEV || errno == EPERM || errno == EOPNOTSUPP) {
            // Another file system: QFile::copy never overwrites; remove the source only after.
            if (QFileInfo::exists(target))
                continue;
            if (QFile::copy(source, target)) {
                if (QFile::remove(source))
                    return;
                QFile::remove(target);
            }
        }
        if (!QFileInfo::exists(source))
            throw Outlook_Error(QStringLiteral("The contact no longer exists."));
        throw Outlook_Error(QStringLiteral("The contact could not be moved to \"%1\".").arg(folder));
    }
    throw Outlook_Error(QStringLiteral("The folder \"%1\" has no free name for the contact.").arg(folder));
}

} // namespace

Vcard_Contact::Vcard_Contact(const Contact_File_Context& context, const QByteArray& onDisk,
                             std::unique_ptr<Vcard_Document> card)
    : context_(context), on_disk_(onDisk), card_(std::move(card))
{
    properties_ = std::make_unique<Vcard_User_Properties>(*card_, [this] { Check_Usable(); });
    if (card_->First_Named(QStringLiteral("UID")) < 0)
        new_uid_ = QUuid::createUuid().toString(QUuid::WithoutBraces);
}

Vcard_Contact::~Vcard_Contact() = default;

QString Vcard_Contact::MessageClass() const
{
    return QStringLiteral("IPM.Contact");
}

void Vcard_Contact::Check_Usable() const
{
    if (deleted_)
        throw Outlook_Error(QStringLiteral("The contact has been deleted."));
}

QString Vcard_Contact::Email_Address(int slot) const
{
    if (slot < 1 || slot > 3)
        throw Outlook_Error(QStringLiteral("There is no e-mail address %1.").arg(slot));
    return Read_Contact_Field(*card_, QStringLiteral("Email%1Address").arg(slot));
}

void Vcard_Contact::Set_Email_Address(int slot, const QString& address)
{
    if (slot < 1 || slot > 3)
        throw Outlook_Error(QStringLiteral("There is no e-mail address %1.").arg(slot));
    Set_Standard_Field(QStringLiteral("Email%1Address").arg(slot), address);
}

QString Vcard_Contact::FullName() const
{
    if (card_->First_Named(QStringLiteral("FN")) >= 0)
        return Read_Contact_Field(*card_, QStringLiteral("FullName"));
    // No FN: the name parts in reading order.
    QStringList parts;
    for (const char* part : {"Title", "FirstName", "MiddleName", "LastName", "Suffix"})
        parts.append(Read_Contact_Field(*card_, QLatin1String(part)));
    return parts.join(QLatin1Char(' ')).simplified();
}

QString Vcard_Contact::Body() const
{
    return Read_Contact_Field(*card_, QStringLiteral("Body"));
}

void Vcard_Contact::Set_Body(const QString& body)
{
    Set_Standard_Field(QStringLiteral("Body"), body);
}

QString Vcard_Contact::UID() const
{
    const int index = card_->First_Named(QStringLiteral("UID"));
    return index < 0 ? new_uid_ : card_->Values(index).join(QLatin1Char(';'));
}

QString Vcard_Contact::Standard_Field(const QString& name) const
{
    return Read_Contact_Field(*card_, name);
}

void Vcard_Contact::Set_Standard_Field(const QString& name, const QString& value)
{
    Check_Usable();
    Write_Contact_Field(*card_, name, value);
}

User_Properties& Vcard_Contact::UserProperties()
{
    return *properties_;
}

void Vcard_Contact::Save()
{
    Check_Usable();
    if (card_->First_Named(QStringLiteral("UID")) < 0)
        card_->Set_Values(card_->Insert(card_->End_Index(), QStringLiteral("UID"), {}), {new_uid_});
    if (!card_->Is_Modified())
        return;
    const QString& path = context_.File_Path;
    const QByteArray rawPath = QFile::encodeName(path);
    QByteArray current;
    if (!Read_Contact_Bytes(rawPath, current))
        throw Outlook_Error(QStringLiteral("The contact no longer exists."));
    if (current != on_disk_)
        throw Outlook_Error(QStringLiteral(
            "The contact was changed by another program since it was read; it was not saved."));
    const QByteArray bytes = card_->Serialize();
    if (bytes == on_disk_) {
        card_->Mark_Saved();
        return;
    }
    if (Write_Gate* gate = Installed_Write_Gate()) {
        gate->Contact_Saving(Contact_Save{path, current, bytes});
        if (gate->Preview()) {
            Preview_Contact_Written(rawPath, bytes);
            on_disk_ = bytes;
            card_->Mark_Saved();
            return;
        }
    }
    QString error;
    if (!Write_File_Atomically(path, bytes, &error))
        throw Outlook_Error(QStringLiteral("The contact could not be saved: %1").arg(error));
    on_disk_ = bytes;
    card_->Mark_Saved();
}

void Vcard_Contact::Delete()
{
    Check_Usable();
    const QByteArray rawPath = QFile::encodeName(context_.File_Path);
    QByteArray current;
    if (!Read_Contact_Bytes(rawPath, current))
        throw Outlook_Error(QStringLiteral("The contact no longer exists."));
    if (Write_Gate* gate = Installed_Write_Gate()) {
        gate->Contact_Removing(Contact_Removal{context_.File_Path, current, context_.Deleted_Folder,
                                               QFileInfo(context_.Deleted_Folder).isDir()});
        if (gate->Preview()) {
            Preview_Contact_Removed(rawPath);
            deleted_ = true;
            return;
        }
    }
    Move_Into_Folder(context_.File_Path, context_.Deleted_Folder);
    deleted_ = true;
}

bool Read_Contact_Bytes(const QByteArray& path, QByteArray& bytes)
{
    bool removed = false;
    if (Preview_Changed(path, &bytes, &removed))
        return !removed;
    // Non-blocking: a named pipe where a contact should be must not hang the walk.
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kMaxContactBytes;
    if (ok) {
        // One byte more than its size: a short read that reaches the size is
        // the end of the file, without asking again; a file that grew meanwhile
        // is read to its new end.
        const qsizetype size = qsizetype(st.st_size);
        bytes.resize(size + 1);
        qsizetype done = 0;
        for (;;) {
            if (done == bytes.size())
                bytes.resize(done + 4096);
            const ssize_t n = ::read(fd, bytes.data() + done, std::size_t(bytes.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                ok = false;
                break;
            }
            done += n;
            if (done > kMaxContactBytes) {
                ok = false;
                break;
            }
            if (n == 0 || (done >= size && done < bytes.size()))
                break;
        }
        bytes.truncate(done);
    }
    ::close(fd);
    return ok;
}

std::shared_ptr<Contact_Item> Contact_From_Bytes(const Contact_File_Context& context, const QByteArray& bytes)
{
    try {
        std::unique_ptr<Vcard_Document> card = Vcard_Document::Parse(bytes);
        if (!card || !Is_Single_Contact(*card))
            return nullptr;
        return std::make_shared<Vcard_Contact>(context, bytes, std::move(card));
    } catch (...) {
        return nullptr;
    }
}

std::shared_ptr<Contact_Item> Load_Contact_File(const Contact_File_Context& context)
{
    QByteArray bytes;
    if (!Read_Contact_Bytes(QFile::encodeName(context.File_Path), bytes))
        return nullptr;
    return Contact_From_Bytes(context, bytes);
}

} // namespace bc::outlook
