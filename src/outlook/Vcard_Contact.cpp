#include "outlook/Vcard_Contact.h"

#include "outlook/Contact_Fields.h"
#include "outlook/Fault_Points.h"
#include "outlook/Item_File_IO.h"
#include "outlook/Maildir.h"
#include "outlook/Vcard_Document.h"
#include "outlook/Vcard_User_Properties.h"
#include "outlook/Write_Gate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bc::outlook {
namespace {

// Far above any real contact (photos included); larger files are not read.
constexpr qint64 kMaxContactBytes = 32 * 1024 * 1024;

// Names the UIDs made for contacts without one (see the constructor).
const QUuid kUidNamespace = QUuid::fromString(QStringLiteral("{5b0e7f0c-2f4c-4d61-9a55-0c1d2e3f4a5b}"));

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

QByteArray Real_Path(const QByteArray& path)
{
    char real[PATH_MAX];
    return ::realpath(path.constData(), real) ? QByteArray(real) : QByteArray();
}

// Deleted contacts stay inside their store: a folder that a symbolic link
// leads elsewhere is refused, as symbolic links out of a store are everywhere.
void Check_Inside_Store(const QString& folder, const QString& storeRoot)
{
    if (storeRoot.isEmpty())
        return;
    QByteArray probe = QFile::encodeName(QDir::cleanPath(folder));
    struct stat st;
    while (probe.size() > 1 && ::lstat(probe.constData(), &st) != 0)
        probe = probe.left(std::max<qsizetype>(1, probe.lastIndexOf('/')));
    const QByteArray real = Real_Path(probe);
    const QByteArray root = Real_Path(QFile::encodeName(storeRoot));
    if (root.isEmpty() || !(real == root || real.startsWith(root + '/')))
        throw Outlook_Error(
            QStringLiteral("The folder for deleted contacts \"%1\" lies outside the store; the contact was "
                           "not moved there.")
                .arg(folder));
}

// Moves a file into a folder under its own name, or "name (2).vcf" and so on
// when that is taken: a file already there is never replaced.
void Move_Into_Folder(const QString& source, const QString& folder, const QString& storeRoot)
{
    Check_Inside_Store(folder, storeRoot);
    if (folder.isEmpty() || !QDir().mkpath(folder))
        throw Outlook_Error(
            QStringLiteral("The folder for deleted contacts \"%1\" cannot be created.").arg(folder));
    Check_Inside_Store(folder, storeRoot);
    const QFileInfo info(source);
    const QByteArray from = QFile::encodeName(source);
    const QByteArray to_dir = QFile::encodeName(folder);
    const auto done = [] { Fault_Point("contact moved"); };
    for (int n = 1; n < 10000; ++n) {
        const QByteArray to = QFile::encodeName(QDir(folder).filePath(Numbered_Name(info, n)));
        if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
            return done();
        if (errno == EEXIST)
            continue;
        if (errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP) {
            // A file system without no-replace renames: a hard link never replaces either.
            if (::link(from.constData(), to.constData()) == 0) {
                ::unlink(from.constData());
                return done();
            }
            if (errno == EEXIST)
                continue;
        }
        if (errno == EXDEV || errno == EPERM) {
            // Another file system: a whole copy first, the source removed only
            // after; a copy that an interrupted move left is recognised by its
            // bytes and not made twice.
            QByteArray bytes;
            QByteArray there;
            if (!Read_Regular_File(from, kMaxContactBytes, bytes))
                throw Outlook_Error(QStringLiteral("The contact no longer exists."));
            if (Read_Regular_File(to, kMaxContactBytes, there, false) && there == bytes) {
                ::unlink(from.constData());
                return done();
            }
            if (QFileInfo::exists(QFile::decodeName(to)))
                continue;
            if (Write_Item_File(to, bytes, false)) {
                // The copy's name must last before the only other one goes.
                Sync_Directory(to_dir);
                if (::unlink(from.constData()) == 0)
                    return done();
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
    // A card without a usable UID gets one made from its file name and bytes:
    // a run killed after a task pointed at it, before the contact was saved,
    // gives the same UID again when it is run anew.
    if (Stored_Uid().trimmed().isEmpty())
        new_uid_ =
            QUuid::createUuidV5(kUidNamespace,
                                QFile::encodeName(QFileInfo(context_.File_Path).fileName()) + '\n' + onDisk)
                .toString(QUuid::WithoutBraces);
}

QString Vcard_Contact::Stored_Uid() const
{
    const int index = card_->First_Named(QStringLiteral("UID"));
    return index < 0 ? QString() : card_->Values(index).join(QLatin1Char(';'));
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
    return new_uid_.isEmpty() ? Stored_Uid() : new_uid_;
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
    if (!new_uid_.isEmpty()) {
        // An empty UID line takes the new value; otherwise a line is added.
        int index = card_->First_Named(QStringLiteral("UID"));
        if (index < 0)
            index = card_->Insert(card_->End_Index(), QStringLiteral("UID"), {});
        card_->Set_Values(index, {new_uid_});
    }
    if (!card_->Is_Modified())
        return;
    const QString& filePath = context_.File_Path;
    const QByteArray path = QFile::encodeName(filePath);
    QByteArray current;
    if (!Read_Contact_Bytes(path, current))
        throw Outlook_Error(QStringLiteral("The contact no longer exists."));
    if (current != on_disk_)
        throw Outlook_Error(QStringLiteral(
            "The contact was changed by another program since it was read; it was not saved."));
    const QByteArray bytes = card_->Serialize();
    if (bytes != on_disk_) {
        if (Write_Gate* gate = Installed_Write_Gate()) {
            gate->Contact_Saving(Contact_Save{filePath, current, bytes});
            if (gate->Preview()) {
                Preview_Contact_Written(path, bytes);
                on_disk_ = bytes;
                card_->Mark_Saved();
                new_uid_.clear();
                return;
            }
        }
        QString error;
        if (!Write_Item_File(path, bytes, true, &error))
            throw Outlook_Error(QStringLiteral("The contact could not be saved: %1").arg(error));
        on_disk_ = bytes;
    }
    card_->Mark_Saved();
    new_uid_.clear();
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
    Move_Into_Folder(context_.File_Path, context_.Deleted_Folder, context_.Store_Root);
    deleted_ = true;
}

bool Read_Contact_Bytes(const QByteArray& path, QByteArray& bytes)
{
    bool removed = false;
    if (Preview_Changed(path, &bytes, &removed))
        return !removed;
    return Read_Regular_File(path, kMaxContactBytes, bytes);
}

bool Read_Contact_Bytes_At(int dirFd, const QByteArray& dir, const QByteArray& name, QByteArray& bytes)
{
    if (dirFd < 0 || Preview_Changed_Any())
        return Read_Contact_Bytes(maildir::Join(dir, name), bytes);
    return Read_Regular_File(name, kMaxContactBytes, bytes, true, dirFd);
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
