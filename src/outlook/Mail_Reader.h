#pragma once
// What a message reader shows besides the body text: the senders and
// recipients as written, the date, the subject and the attachments' names.

#include "outlook/Object_Model.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace bc::outlook {

struct Mail_Reader_Headers
{
    QString From; // "Name <address>, ..." as the header lists them
    QString To;
    QString Cc;
    QString Subject;
    QDateTime Date; // invalid without a readable Date header
    // File names of attached parts, and attached messages (by their file
    // name, else their subject and ".eml").
    QStringList Attachments;
};

Mail_Reader_Headers Parse_Reader_Headers(const QByteArray& message);

// The headers of a message of the profile; empty when it is gone or is not
// one of the profile's messages.
Mail_Reader_Headers Reader_Headers(const Mail_Item& mail);

// The message's file as it is now; empty when there is none.
QString Message_File(const Mail_Item& mail);

} // namespace bc::outlook
