#include "outlook/Mail_Message.h"

#include "outlook/Item_File_IO.h"
#include "outlook/Mail_Message_Text.h"
#include "outlook/Profile_Folder.h"
#include "outlook/Write_Gate.h"

#include <QFile>
#include <QProcess>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bc::outlook {
namespace {

// Enough for any message text; what lies beyond is attachments.
constexpr qsizetype kMax_Message_Bytes = 64 * 1024 * 1024;

bool Read_Message_File(const QByteArray& path, QByteArray& data)
{
    // A pipe or device put in the message's place must neither block nor
    // swamp the run.
    struct stat st;
    const int fd = Open_Regular_File(path, st, false);
    if (fd < 0)
        return false;
    data.reserve(std::min<qsizetype>(qsizetype(st.st_size), kMax_Message_Bytes));
    char buf[65536];
    bool ok = true;
    while (data.size() < kMax_Message_Bytes) {
        const ssize_t n =
            ::read(fd, buf, std::size_t(std::min<qsizetype>(sizeof buf, kMax_Message_Bytes - data.size())));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            ok = false;
        if (n <= 0)
            break;
        data.append(buf, n);
    }
    ::close(fd);
    return ok;
}

} // namespace

Mail_Message::Mail_Message(std::shared_ptr<const Profile_Folder> folder, maildir::Entry entry)
    : folder_(std::move(folder)), entry_(std::move(entry))
{
}

QString Mail_Message::EntryID() const
{
    return QString::fromLatin1((folder_->Path() + '/' + entry_.Unique).toHex().toUpper());
}

bool Mail_Message::Locate() const
{
    struct stat st;
    if (::lstat(maildir::File_Path(folder_->Directory(), entry_).constData(), &st) == 0 &&
        S_ISREG(st.st_mode))
        return true;
    if (auto now = maildir::Find(folder_->Directory(), entry_.Unique)) {
        entry_ = *now;
        return true;
    }
    return false;
}

QByteArray Mail_Message::File_Path() const
{
    Locate();
    return maildir::File_Path(folder_->Directory(), entry_);
}

const Mail_Message::Content& Mail_Message::Parsed() const
{
    if (content_)
        return *content_;
    QByteArray data;
    if (!Locate() || !Read_Message_File(File_Path(), data)) {
        // Gone (or unreadable) under us: it reads as an empty message.
        static const Content gone{{}, {}, {}, QStringLiteral("IPM.Note")};
        return gone;
    }
    mail_text::Message_Text text = mail_text::Parse_Message(data);
    content_ = Content{text.Subject, text.Body, text.Display_To, text.Message_Class};
    return *content_;
}

QString Mail_Message::MessageClass() const
{
    return Parsed().Message_Class;
}
QString Mail_Message::Subject() const
{
    return Parsed().Subject;
}
QString Mail_Message::Body() const
{
    return Parsed().Body;
}
QString Mail_Message::Display_To() const
{
    return Parsed().Display_To;
}

QDateTime Mail_Message::Delivery_Time() const
{
    return maildir::Delivery_Time(entry_.File, File_Path());
}

namespace {

Profile_Folder& Mail_Target(Mapi_Folder& destination)
{
    auto* target = dynamic_cast<Profile_Folder*>(&destination);
    if (!target)
        throw Outlook_Error(QStringLiteral("The destination is not a folder of this profile."));
    if (!target->Is_Mail() || target->Kind() == Profile_Folder::Layout::Top)
        throw Outlook_Error(QStringLiteral("The folder \"%1\" does not hold messages.").arg(target->Name()));
    return *target;
}

} // namespace

bool Mail_Message::Describe_Move(Mapi_Folder& destination, Message_Move& move) const
{
    auto* target = dynamic_cast<Profile_Folder*>(&destination);
    if (!target || !Locate() || target->Directory() == folder_->Directory())
        return false;
    return Describe_Message_Move(folder_->Directory(), entry_, target->Directory(), move);
}

void Mail_Message::Move(Mapi_Folder& destination)
{
    Profile_Folder& target = Mail_Target(destination);
    Write_Gate* gate = Installed_Write_Gate();
    Message_Move told;
    if (gate && Describe_Move(target, told)) {
        gate->Messages_Moving({told});
        if (gate->Preview()) {
            // It stays where it is; the run goes on as if it had moved.
            gate->Message_Moved(told, told.Entry);
            return;
        }
    }
    QString error;
    auto moved = maildir::Move(folder_->Directory(), entry_, target.Directory(), &error);
    if (!moved)
        throw Outlook_Error(error);
    if (gate && !told.From_Dir.isEmpty())
        gate->Message_Moved(told, *moved);
    entry_ = *moved;
    folder_ = std::static_pointer_cast<const Profile_Folder>(target.shared_from_this());
}

void Mail_Message::Delete()
{
    auto deleted = Default_Folder(folder_->Profile(), 0, olFolderDeletedItems);
    if (!deleted)
        throw Outlook_Error(QStringLiteral("The deleted items folder cannot be opened."));
    if (deleted->Directory() == folder_->Directory())
        return;
    Move(*deleted);
}

void Mail_Message::Display()
{
    QProcess::startDetached(QStringLiteral("xdg-open"), {QFile::decodeName(File_Path())});
}

} // namespace bc::outlook
