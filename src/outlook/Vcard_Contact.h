#pragma once
// A contact kept as one vCard file, as vdirsyncer and khard keep them.
//
// - Email1..3 are the first three EMAIL properties in file order. Clearing a
//   slot that has later addresses leaves an empty EMAIL property in its place,
//   so the later slots keep their numbers (khard shows it as an empty entry);
//   clearing the last one removes it.
// - Body is NOTE; like every contact text it reads with CR LF line breaks.
// - A file without a usable UID (none, or an empty one) gets one on its next
//   save; UID() gives it already.
// - Save() writes every change made since the last save at once. It refuses
//   to overwrite a file that another program changed since it was read, or
//   that its owner made read-only, and writes through a temporary file
//   renamed into place.
// - Delete() moves the file into the context's Deleted_Folder (never over
//   another file there), where it can be taken back by hand.

#include "outlook/Item_Files.h"
#include "outlook/Object_Model.h"

#include <QByteArray>

#include <memory>

namespace bc::outlook {

class Vcard_Document;
class Vcard_User_Properties;

class Vcard_Contact final : public Contact_Item
{
public:
    Vcard_Contact(const Contact_File_Context& context, const QByteArray& onDisk,
                  std::unique_ptr<Vcard_Document> card);
    ~Vcard_Contact() override;

    QString EntryID() const override { return context_.Entry_ID; }
    QString MessageClass() const override;

    QString Email_Address(int slot) const override;
    void Set_Email_Address(int slot, const QString& address) override;
    QString FullName() const override;
    QString Body() const override;
    void Set_Body(const QString& body) override;
    QString UID() const override;
    QString Standard_Field(const QString& name) const override;
    void Set_Standard_Field(const QString& name, const QString& value) override;
    User_Properties& UserProperties() override;
    void Save() override;
    void Delete() override;

private:
    void Check_Usable() const;
    QString Stored_Uid() const; // "" when the card has none

    Contact_File_Context context_;
    QByteArray on_disk_; // the file as last read or written
    std::unique_ptr<Vcard_Document> card_;
    std::unique_ptr<Vcard_User_Properties> properties_;
    QString new_uid_; // made when the file has no usable UID; "" once saved
    bool deleted_ = false;
};

} // namespace bc::outlook
