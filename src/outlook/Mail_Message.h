#pragma once
// One message file of a Maildir folder as a mail item.

#include "outlook/Maildir.h"
#include "outlook/Object_Model.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

namespace bc::outlook {

class Profile_Folder;
struct Message_Move;

class Mail_Message : public Mail_Item
{
public:
    Mail_Message(std::shared_ptr<const Profile_Folder> folder, maildir::Entry entry);

    QString EntryID() const override;
    QString MessageClass() const override;
    QString Subject() const override;
    QString Body() const override;
    QString Display_To() const override;
    QDateTime Delivery_Time() const override;
    // Renames the file into the destination's cur/; the item then lives
    // there (and has the EntryID of its new place).
    void Move(Mapi_Folder& destination) override;
    // Moves it to the profile's deleted items folder; a message already there
    // stays (it is never removed from disk).
    void Delete() override;
    void Display() override;

    // The message file as it is now (after another program's flag change too).
    QByteArray File_Path() const;
    // Its move into `destination` as the write gate is told it; false when the
    // message is gone or already there.
    bool Describe_Move(Mapi_Folder& destination, Message_Move& move) const;

private:
    struct Content
    {
        QString Subject;
        QString Body;
        QString Display_To;
        QString Message_Class;
    };
    const Content& Parsed() const;
    bool Locate() const;

    std::shared_ptr<const Profile_Folder> folder_;
    mutable maildir::Entry entry_;
    mutable std::optional<Content> content_;
};

} // namespace bc::outlook
