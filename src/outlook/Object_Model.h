#pragma once
// The mail session's object model: the small set of Outlook operations that the
// program uses, as interfaces. The engine and the windows depend on these; the
// profile on disk (Maildir, vCard and iCalendar folders) implements them.
//
// A call that fails throws Outlook_Error; the callers' error traps show its
// what() as the error's description. Lookups that find nothing return null.

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <memory>
#include <stdexcept>
#include <vector>

namespace bc::outlook {

class Outlook_Error : public std::runtime_error
{
public:
    explicit Outlook_Error(const QString& description) : std::runtime_error(description.toStdString()) {}
    QString Description() const { return QString::fromStdString(what()); }
};

enum Default_Folder_Kind
{
    olFolderDeletedItems = 3,
    olFolderInbox = 6,
    olFolderTasks = 13
};
enum Item_Type
{
    olTaskItem = 3
};
enum User_Property_Type
{
    olText = 1
};
enum Importance
{
    olImportanceLow = 0,
    olImportanceNormal = 1,
    olImportanceHigh = 2
};

class Mapi_Folder;

class Outlook_Item
{
public:
    virtual ~Outlook_Item() = default;
    virtual QString EntryID() const = 0;
    virtual QString MessageClass() const = 0;
};

class Mail_Item : public virtual Outlook_Item
{
public:
    virtual QString Subject() const = 0;
    // Plain text of the main text part, decoded; HTML-only mail as text.
    virtual QString Body() const = 0;
    // The To recipients' display names joined by "; ".
    virtual QString Display_To() const = 0;
    virtual QDateTime Delivery_Time() const = 0;
    // The message leaves its folder and lands in the destination.
    virtual void Move(Mapi_Folder& destination) = 0;
    // Moves the message to the deleted items folder.
    virtual void Delete() = 0;
    // Opens the message in the user's mail reader.
    virtual void Display() = 0;
};

class User_Property
{
public:
    virtual ~User_Property() = default;
    virtual QString Name() const = 0;
    virtual QString Value() const = 0;
    virtual void Set_Value(const QString& value) = 0;
    virtual void Delete() = 0;
};

class User_Properties
{
public:
    virtual ~User_Properties() = default;
    virtual int Count() const = 0;
    // Adds a text property (or returns the existing one of that name).
    virtual User_Property* Add(const QString& name, int type = olText) = 0;
    // nullptr when the contact has no property of that exact name.
    virtual User_Property* Find(const QString& name) = 0;
};

class Contact_Item : public virtual Outlook_Item
{
public:
    // slot 1, 2 or 3: Email1Address .. Email3Address; "" when unset.
    virtual QString Email_Address(int slot) const = 0;
    // Clearing one slot keeps the slot numbers of the others.
    virtual void Set_Email_Address(int slot, const QString& address) = 0;
    virtual QString FullName() const = 0;
    virtual QString Body() const = 0;
    virtual void Set_Body(const QString& body) = 0;
    // The vCard UID, which tasks use to point at their contact.
    virtual QString UID() const = 0;
    // Standard contact fields by their Outlook name. Throws for a name that
    // is not a writable standard field or a value the field cannot take.
    virtual QString Standard_Field(const QString& name) const = 0;
    virtual void Set_Standard_Field(const QString& name, const QString& value) = 0;
    virtual User_Properties& UserProperties() = 0;
    virtual void Save() = 0;
    virtual void Delete() = 0;
};

class Task_Item : public virtual Outlook_Item
{
public:
    virtual void Set_Subject(const QString& subject) = 0;
    virtual void Set_Body(const QString& body) = 0;
    virtual void Set_Importance(int importance) = 0; // Importance
    virtual void Set_StartDate(const QDate& date) = 0;
    virtual void Add_Link(const Contact_Item& contact) = 0;
    // A new task's UID, instead of a random one, before its first save: a
    // task that must not be made twice is named by what it is about.
    virtual void Set_UID(const QString& uid) = 0;
    virtual void Save() = 0;
    // Read back (listings and checks).
    virtual QString Subject() const = 0;
    virtual QString Body() const = 0;
    virtual int Importance() const = 0; // olImportanceNormal when unset
    virtual QDate StartDate() const = 0;
    virtual QStringList Linked_Contact_UIDs() const = 0;
};

// The addresses a walk over contacts looks for, so that a collection can pass
// over, unread, the contacts that cannot hold any of them.
class Address_Screen
{
public:
    virtual ~Address_Screen() = default;
    // `address` is in upper case and made of A-Z 0-9 _ . - @ only; every
    // address the walk looks for must be of that kind and wanted here.
    virtual bool Wanted(QLatin1StringView address) const = 0;
};

class Items_Collection
{
public:
    virtual ~Items_Collection() = default;
    virtual int Count() const = 0;
    // 1-based; nullptr when the position holds nothing any more.
    virtual std::shared_ptr<Outlook_Item> Item(int index) = 0;
    // Item(index), or nullptr when the stored item shows that none of its
    // e-mail addresses is one that `screen` wants. A collection that cannot
    // tell cheaply gives the item.
    virtual std::shared_ptr<Outlook_Item> Screened_Item(int index, const Address_Screen& screen)
    {
        (void)screen;
        return Item(index);
    }
    // The caller is about to take the positions from `first` to `last`
    // (downwards when first > last) one after the other: a collection of
    // files may read them ahead. Lasts as long as the collection.
    virtual void Expect_Walk(int first, int last)
    {
        (void)first;
        (void)last;
    }
    // Add(olTaskItem): a new, unsaved task in this (task) folder.
    virtual std::shared_ptr<Task_Item> Add_Task() = 0;
    // [Field] = "value" on a standard field or a user property, exact text.
    // Throws for a filter it cannot read.
    virtual std::shared_ptr<Items_Collection> Restrict(const QString& filter) = 0;
};

class Mapi_Folder
{
public:
    virtual ~Mapi_Folder() = default;
    virtual QString EntryID() const = 0;
    virtual QString StoreID() const = 0;
    virtual QString Name() const = 0;
    virtual QString DefaultMessageClass() const = 0; // "IPM.Note", "IPM.Contact", "IPM.Task"
    // The folder above; nullptr for a store's top folder (the session stands
    // above it).
    virtual std::shared_ptr<Mapi_Folder> Parent() const = 0;
    // A fresh listing of the folder's items, in file-name order.
    virtual std::shared_ptr<Items_Collection> Items() = 0;
    virtual std::vector<std::shared_ptr<Mapi_Folder>> Folders() const = 0;
};

class Recipient
{
public:
    virtual ~Recipient() = default;
    virtual QString Name() const = 0;
    virtual QString Address() const = 0;
    virtual bool Resolve() = 0;
};

class Name_Space
{
public:
    virtual ~Name_Space() = default;
    virtual std::shared_ptr<Mapi_Folder> GetFolderFromID(const QString& entryId, const QString& storeId) = 0;
    virtual std::shared_ptr<Outlook_Item> GetItemFromID(const QString& entryId, const QString& storeId) = 0;
    virtual std::shared_ptr<Mapi_Folder> GetDefaultFolder(int kind) = 0;
    virtual std::shared_ptr<Recipient> CurrentUser() = 0;
    virtual std::shared_ptr<Mapi_Folder> GetSharedDefaultFolder(Recipient& recipient, int kind) = 0;
    // The top folder of every store, the default store first (folder dialog).
    virtual std::vector<std::shared_ptr<Mapi_Folder>> Stores() = 0;
};

class Application
{
public:
    virtual ~Application() = default;
    // "MAPI" gives the session; anything else nullptr.
    virtual std::shared_ptr<Name_Space> GetNamespace(const QString& type) = 0;
};

} // namespace bc::outlook
