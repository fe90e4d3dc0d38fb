#pragma once
// A quick look at a contact file's bytes before it is parsed, for a walk that
// looks for a few e-mail addresses among many thousands of contacts.

#include "outlook/Object_Model.h"

#include <QByteArray>
#include <QString>

#include <vector>

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

// A text that a filter compares a contact's field with, cut into the pieces
// that stand unchanged in the bytes of any card whose field reads as it:
// escapes, value separators, folding and line-break conversion all fall
// between pieces. Only UTF-8 of the text is looked for.
class Text_Screen
{
public:
    explicit Text_Screen(const QString& text);
    // False when there is nothing to look for (an empty text, or blanks and
    // separators only): every card may hold it.
    bool Usable() const { return !pieces_.empty(); }
    const std::vector<QByteArray>& Pieces() const { return pieces_; }
    bool Ascii() const { return ascii_; }

private:
    std::vector<QByteArray> pieces_;
    bool ascii_ = true;
};

// False only when no property of the card can read as the screen's text: a
// piece is missing from the card's bytes once folded lines are joined, and no
// line could decode into it (quoted-printable, base64 or another charset on
// a line other than PHOTO, LOGO, SOUND or KEY; an escape the parser may read
// as a plain character; a percent-encoded character of a user property).
bool Vcard_May_Hold_Text(const QByteArray& bytes, const Text_Screen& screen);

} // namespace bc::outlook
