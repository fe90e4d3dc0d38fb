#include "windows/Bounced_Contacts.h"

#include "config/Contact_Folder_List.h"
#include "engine/Run_Journal.h"
#include "outlook/Contact_Fields.h"
#include "outlook/Mapi_Components.h"
#include "outlook/Object_Model.h"
#include "outlook/Outlook_Session.h"

#include <exception>

namespace bc::windows {
namespace {

using outlook::Contact_Item;
using outlook::QuorinContactItem;

// The contact a row names, or nullptr when it is gone (deleted, moved, no
// longer a contact).
const QString kDoneMarkCleared = QStringLiteral("field \"%1\" cleared");

// The contact in the report of the journaled update.
void Journal_Contact(const QuorinContactItem& contact)
{
    engine::Journal_Contact_Matched(contact.FullName(), contact.EntryID(), contact.Email1Address(), 0, -1);
}

std::shared_ptr<Contact_Item> Find_Contact(const Bounced_Contact_Row& row)
{
    const auto& ns = outlook::Session().Outlook_Namespace;
    if (!ns)
        return nullptr;
    try {
        return std::dynamic_pointer_cast<Contact_Item>(
            ns->GetItemFromID(Get_Field(row.Item_Ids, 1), Get_Field(row.Item_Ids, 2)));
    } catch (const std::exception&) {
        return nullptr;
    }
}

// The mark is removed the way the run wrote it: a writable standard field is
// emptied, anything else was written as a user property and is removed, not
// emptied. The caller saves.
void Clear_Status_Field(QuorinContactItem& contact, const QString& field, bool standardField)
{
    if (standardField) {
        outlook::Set_Contact_Field(field, QString(), contact);
        return;
    }
    if (outlook::User_Property* property = contact.UserProperties().Find(field))
        property->Delete();
}

} // namespace

QString Bounced_Row_Key(qint32 index)
{
    return kFieldSeparator + QString::number(index) + kFieldSeparator;
}

qint32 Bounced_Row_Index(const QString& key)
{
    bool number = false;
    const qint32 index = Get_Field(key, 1).toInt(&number);
    return number && index >= 0 ? index : -1;
}

QString Bounced_Filter(const QString& fieldName, const QString& value)
{
    return QLatin1Char('[') + fieldName + QStringLiteral("] = \"") + value + QLatin1Char('"');
}

std::shared_ptr<outlook::Mapi_Folder> Open_Database(qint32 folderIndex)
{
    const auto& list = Folders().Contact_Folder_List;
    const auto& ns = outlook::Session().Outlook_Namespace;
    if (!ns || folderIndex < 0 || folderIndex >= qint32(list.size()))
        return nullptr;
    try {
        return ns->GetFolderFromID(list[std::size_t(folderIndex)].Entry_ID,
                                   list[std::size_t(folderIndex)].Store_ID);
    } catch (const std::exception&) {
        return nullptr;
    }
}

std::shared_ptr<outlook::Items_Collection> Restrict_Folder(outlook::Mapi_Folder& folder,
                                                           const QString& filter)
{
    try {
        return folder.Items()->Restrict(filter);
    } catch (...) {
        return nullptr; // a filter the folder cannot read lists nothing
    }
}

void Apply_Recorded_Actions(const std::vector<Bounced_Contact_Row>& rows, const QString& statusField,
                            const Status_Text& status)
{
    const bool standardField = outlook::Is_Writable_Contact_Field(statusField);
    QuorinContactItem contact;
    for (const Bounced_Contact_Row& row : rows) {
        if (row.Pending_Action != Delete_Contact && row.Pending_Action != Change_Email)
            continue;
        try {
            const std::shared_ptr<Contact_Item> item = Find_Contact(row);
            contact.Set_Item(item);
            if (row.Pending_Action == Delete_Contact) {
                status(QStringLiteral("Removing: ") + row.Row_Text);
                if (item) {
                    Journal_Contact(contact);
                    engine::Journal_Contact_Action(engine::kDoneDeleted);
                    contact.Delete();
                }
            } else if (item) {
                Journal_Contact(contact);
                contact.Set_Email1Address(row.Row_Text);
                Clear_Status_Field(contact, statusField, standardField);
                engine::Journal_Contact_Action(QStringLiteral("Email1Address set to ") + row.Row_Text);
                engine::Journal_Contact_Action(kDoneMarkCleared.arg(statusField));
                contact.Save();
            }
        } catch (const std::exception&) {
            // Passed over: the next contact is still updated.
        }
    }
}

void Apply_Status_Clearing(const std::vector<Bounced_Contact_Row>& rows, const QString& statusField,
                           const Status_Text& status)
{
    const bool standardField = outlook::Is_Writable_Contact_Field(statusField);
    QuorinContactItem contact;
    for (const Bounced_Contact_Row& row : rows) {
        if (row.Pending_Action != Clear_Status)
            continue;
        try {
            const std::shared_ptr<Contact_Item> item = Find_Contact(row);
            contact.Set_Item(item);
            status(QStringLiteral("Clearing Status Field for: ") + row.Row_Text);
            if (!item)
                continue;
            Journal_Contact(contact);
            Clear_Status_Field(contact, statusField, standardField);
            engine::Journal_Contact_Action(kDoneMarkCleared.arg(statusField));
            contact.Save();
        } catch (const std::exception&) {
        }
    }
}

} // namespace bc::windows
