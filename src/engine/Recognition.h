#pragma once
// Which messages of the input folder are returned messages, and the addresses
// in their bodies. A message is recognised by its subject and class alone; the
// body is scanned for every "@" rather than parsed as a delivery report, so
// every address-shaped word is taken and the no-check list keeps the user's
// own addresses out.

#include "outlook/Mapi_Components.h"

#include <QChar>
#include <QString>

namespace bc::engine {

inline const QString kReturnedMessageClass = QStringLiteral("IPM.Note");

// Letters a-z and A-Z, digits, "_", "-" and "." (by code: accented letters
// are not address characters).
bool Is_Address_Character(QChar c);

// The subject is present, holds a return identifier, and the class is
// exactly "IPM.Note".
bool Is_Returned_Message(const outlook::Message_Row& row);

// The address around the "@" at `position` (1-based) of `text`: address
// characters on both sides, one trailing "." dropped.
QString Extract_Email_Address(const QString& text, int position);

// Opens the message of row `rowIndex` of Message_Rows and adds every address
// of its body that is not on the no-check list to Bounced_Emails. A failure
// shows "Error on Scan Email For Return Emails. " and its description.
void Scan_Email_For_Return_Emails(qint32 rowIndex);

} // namespace bc::engine
