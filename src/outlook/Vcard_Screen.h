#pragma once
// A quick look at a contact file's bytes before it is parsed, for a walk that
// looks for a few e-mail addresses among many thousands of contacts.

#include "outlook/Object_Model.h"

#include <QByteArray>

namespace bc::outlook {

// False only when the card cannot hold a wanted address as an e-mail value.
// Only EMAIL lines give addresses, and their values stand in the file as the
// parser reads them once folded lines are joined, unless the line names
// QUOTED-PRINTABLE or CHARSET (then, as for UTF-16, the parser decides).
// Escapes cannot make an address: they all stand for characters that no
// address has. Each run of address characters with an '@' on those lines is
// upper-cased as a walk compares it and asked about; a run with any other
// letter is not, as a walk's upper case never turns one into a plain letter.
bool Vcard_May_Hold(const QByteArray& bytes, const Address_Screen& screen);

} // namespace bc::outlook
