#pragma once
// A quick look at a contact file's bytes before it is parsed, for a walk that
// looks for a few e-mail addresses among many thousands of contacts.

#include "outlook/Object_Model.h"

#include <QByteArray>

namespace bc::outlook {

// False only when the card cannot hold a wanted address as an e-mail value:
// its bytes are UTF-8 with no folded lines, escapes, quoted-printable or
// character set, so that every value stands in the file as written, and no
// run of address characters (or other letters) with an '@' in it is wanted in
// upper case.
bool Vcard_May_Hold(const QByteArray& bytes, const Address_Screen& screen);

} // namespace bc::outlook
