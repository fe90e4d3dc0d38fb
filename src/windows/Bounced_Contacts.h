#pragma once
// The bounced contact manager's row table and the writes it makes: the
// contacts a database lists for a field and value, and the recorded actions
// (delete, new address, clear the status mark) applied contact by contact.
// No widgets here: the window shows the rows and records the actions.

#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace bc::outlook {
class Items_Collection;
class Mapi_Folder;
} // namespace bc::outlook

namespace bc::windows {

enum Pending_Action : qint32
{
    No_Action = 0,
    Delete_Contact = 1,
    Change_Email = 2,
    Clear_Status = 3
};

struct Bounced_Contact_Row
{
    qint32 Folder_Index = 0; // in Contact_Folder_List
    QString Item_Ids;        // "-:::-" EntryID "-:::-" StoreID "-:::-"
    qint32 Pending_Action = No_Action;
    QString Row_Text; // the status line's description, or the new address
};

// "-:::-", the index, "-:::-": never starts with a digit.
QString Bounced_Row_Key(qint32 index);
// The index a key names (field 1), or -1 when it names none.
qint32 Bounced_Row_Index(const QString& key);

// [field] = "value", as the manager builds it from the main window's boxes.
QString Bounced_Filter(const QString& fieldName, const QString& value);

// The folder of database `folderIndex`, or nullptr when it cannot be opened.
// Start_Outlook must have given a session.
std::shared_ptr<outlook::Mapi_Folder> Open_Database(qint32 folderIndex);

// The folder's contacts that the filter picks; none (nullptr) for a filter
// the folder cannot read. Uses nothing but the folder: it may run on a
// helper thread while the window lets events run.
std::shared_ptr<outlook::Items_Collection> Restrict_Folder(outlook::Mapi_Folder& folder,
                                                           const QString& filter);

// The status panel's text while the actions run.
using Status_Text = std::function<void(const QString&)>;

// Deletes the contacts of action 1 and writes the address of action 2 (the
// contact then also loses its status mark), each in one save. A contact
// that cannot be found, changed or saved is passed over silently.
void Apply_Recorded_Actions(const std::vector<Bounced_Contact_Row>& rows, const QString& statusField,
                            const Status_Text& status);

// Removes the status mark of the contacts of action 3.
void Apply_Status_Clearing(const std::vector<Bounced_Contact_Row>& rows, const QString& statusField,
                           const Status_Text& status);

} // namespace bc::windows
