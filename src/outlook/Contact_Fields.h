#pragma once
// Contact fields by their Outlook name: the table of the 100 standard contact
// field names and the write of a field given by name, as the contact actions
// and the bounced contact manager need it.

#include <QString>
#include <QStringList>

namespace bc::outlook {

class QuorinContactItem;
class Vcard_Document;

// Writes `value` into the field `fieldName` of the contact that `contact`
// holds. For the 94 writable standard names the field is set and the contact
// is NOT saved (the caller saves). Any other name - the 6 standard names that
// are recognised but not writable, "", a name in another letter case or with
// blanks, "Importance" - becomes a text user property of exactly that name,
// and the contact is saved. Every failure ends the call silently.
void Set_Contact_Field(const QString& fieldName, const QString& value, QuorinContactItem& contact);

// True for the 100 standard names: whole name, exact letter case, no trimming.
bool Is_Standard_Contact_Field(const QString& fieldName);

// True for the 94 standard names that Set_Contact_Field writes as fields.
bool Is_Writable_Contact_Field(const QString& fieldName);

// True for a field whose text is not taken from the card's own text:
// "Journal" reads "True" or "False" whatever the card holds, or lacks.
bool Is_Computed_Contact_Field(const QString& fieldName);

// The 100 standard names in the table's order.
const QStringList& Standard_Contact_Field_Names();

// The vCard side of the writable names (used by the contact item). Read gives
// "" for an unset field; both throw Outlook_Error for a name that is not
// writable, Write also for a value the field cannot take.
QString Read_Contact_Field(const Vcard_Document& card, const QString& fieldName);
void Write_Contact_Field(Vcard_Document& card, const QString& fieldName, const QString& value);

} // namespace bc::outlook
