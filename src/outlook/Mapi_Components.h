#pragma once
// The three helper components beside the session: the message table, the
// contact item wrapper and the one-property reader.

#include "outlook/Object_Model.h"

#include <QDateTime>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace bc::outlook {

inline constexpr quint32 PR_SUBJECT = 0x0037001E;
inline constexpr quint32 PR_MESSAGE_DELIVERY_TIME = 0x0E060040;
inline constexpr quint32 PR_ENTRYID = 0x0FFF0102;
inline constexpr quint32 PR_MESSAGE_CLASS = 0x001A001E;
inline constexpr quint32 PR_DISPLAY_TO = 0x0E04001E;

// One row of the message table; a property the message lacks is nullopt
// (the "error value").
struct Message_Row
{
    std::optional<QString> Subject;
    std::optional<QDateTime> Delivery_Time;
    QByteArray Entry_ID; // raw bytes; Entry_ID_To_Hex gives the item's EntryID
    std::optional<QString> Message_Class;
};

// "QuorinDll.QuorinMAPITable": subject, delivery time, entry identifier and
// class of every message of a folder, read from the header section of each
// file only, in parallel.
class QuorinMAPITable
{
public:
    QuorinMAPITable();
    ~QuorinMAPITable();
    void Set_Item(std::shared_ptr<Items_Collection> items);
    // Only the four tags of Message_Row, in that order, are supported.
    void Set_Columns(const std::vector<quint32>& tags);
    void GoToFirst();
    int RowCount() const;
    std::vector<Message_Row> GetRows(int count); // throws Outlook_Error

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// "QuorinDll.QuorinContactItem": wraps the contact given by Set_Item; every
// member acts on it and throws Outlook_Error when none is set.
class QuorinContactItem
{
public:
    void Set_Item(std::shared_ptr<Contact_Item> contact);
    std::shared_ptr<Contact_Item> Item() const { return contact_; }
    QString Email1Address() const;
    QString Email2Address() const;
    QString Email3Address() const;
    void Set_Email1Address(const QString& value);
    void Set_Email2Address(const QString& value);
    void Set_Email3Address(const QString& value);
    QString FullName() const;
    QString EntryID() const;
    QString Body() const;
    void Set_Body(const QString& body);
    User_Properties& UserProperties();
    void Set_Property(const QString& standardName, const QString& value); // by name
    void Save();
    void Delete();

private:
    Contact_Item& Contact() const;
    std::shared_ptr<Contact_Item> contact_;
};

// "Corvel2.Corvel2MAPIUtils"
class Corvel2MAPIUtils
{
public:
    // PR_DISPLAY_TO of a mail item; throws Outlook_Error for other tags/items.
    QString HrGetOneProp(const Outlook_Item& item, quint32 tag) const;
};

} // namespace bc::outlook
