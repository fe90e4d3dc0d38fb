#pragma once
// Every change the profile makes to the user's contacts, tasks and messages
// is told to the installed gate first. A run installs one that records each
// change, flushed, before it is made, so that the run can be taken back even
// when it is killed half-way; a preview installs one that lets nothing be
// written while the profile acts, towards its callers, as if each change had
// been made. Without a gate the profile writes freely.

#include "outlook/Maildir.h"
#include "outlook/Object_Model.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

namespace bc::outlook {

struct Contact_Save
{
    QString File;
    QByteArray Before; // the file as the run read it
    QByteArray After;  // what is about to be written
};

struct Contact_Removal
{
    QString File;
    QByteArray Bytes;       // the file as it is now
    QString Deleted_Folder; // where it is about to go
    bool Folder_Existed = false;
};

struct Task_Creation
{
    QString File;
    QByteArray Bytes;
};

struct Message_Move
{
    QByteArray From_Dir; // Maildir folders
    maildir::Entry Entry;
    QByteArray To_Dir;
    qint64 Size = 0; // size and modification time tell the message from a namesake
    qint64 Mtime_Ns = 0;
};

class Write_Gate
{
public:
    virtual ~Write_Gate() = default;
    // While true nothing is written; every change is still told below.
    virtual bool Preview() const = 0;
    // Each is told right before its change. Throwing Outlook_Error (the
    // change could not be recorded) keeps the change from being made.
    virtual void Contact_Saving(const Contact_Save& change) = 0;
    virtual void Contact_Removing(const Contact_Removal& change) = 0;
    virtual void Task_Creating(const Task_Creation& change) = 0;
    virtual void Messages_Moving(const std::vector<Message_Move>& batch) = 0;
    // After a message moved: its entry in the target now.
    virtual void Message_Moved(const Message_Move& change, const maildir::Entry& now) = 0;
};

// nullptr writes freely. Installing or removing a gate forgets what an
// earlier preview pretended to write.
void Set_Write_Gate(Write_Gate* gate);
Write_Gate* Installed_Write_Gate();
bool Previewing();

// Tells the gate, in one batch, the moves of these messages into
// `destination` that are about to follow, so that a long disposal costs one
// record. Messages that are not files of this profile are left out.
void Announce_Message_Moves(const std::vector<std::shared_ptr<Mail_Item>>& messages,
                            Mapi_Folder& destination);

// The move of one message as the gate is told it; false when the file is gone.
bool Describe_Message_Move(const QByteArray& fromDir, const maildir::Entry& entry, const QByteArray& toDir,
                           Message_Move& move);

// What a preview pretended to write, so that later reads in the same run see
// a contact as the real run would have left it. Keyed by the file's path.
void Preview_Contact_Written(const QByteArray& path, const QByteArray& bytes);
void Preview_Contact_Removed(const QByteArray& path);
// True when the preview under way pretended to change that file: *bytes is
// then what it pretended to write, and *removed says it pretended to delete it.
bool Preview_Changed(const QByteArray& path, QByteArray* bytes, bool* removed);
// Whether Preview_Changed can be true for any file at all.
bool Preview_Changed_Any();

} // namespace bc::outlook
