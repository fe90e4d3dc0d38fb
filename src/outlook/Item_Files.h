#pragma once
// Items kept as one file each: a contact is one vCard (.vcf) in a contact
// folder, a task one iCalendar VTODO (.ics) in a task folder. The folder layer
// lists the files and hands each one to these factories.

#include "outlook/Object_Model.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace bc::outlook {

// Where deleted contacts go, so a deletion can be undone by hand the way
// Outlook's Deleted Items allows: set by the profile for each store.
struct Contact_File_Context
{
    QString File_Path;      // the .vcf file
    QString Entry_ID;       // the item's EntryID (hex of "<folder path>/<file name>")
    QString Deleted_Folder; // a folder into which Delete() moves the file
    QString Store_Root;     // Deleted_Folder must lie inside it ("": not checked)
};

// nullptr when the file is not a usable single contact (a distribution list,
// a broken or non-vCard file, a file that vanished).
std::shared_ptr<Contact_Item> Load_Contact_File(const Contact_File_Context& context);
// The same in two steps, for a caller that looks at the bytes in between.
// False for anything but a readable regular file of a contact's size.
bool Read_Contact_Bytes(const QByteArray& path, QByteArray& bytes);
// The same for the file `name` of the folder `dir`, which `dirFd` holds open:
// only the name is looked up, not the whole path again.
bool Read_Contact_Bytes_At(int dirFd, const QByteArray& dir, const QByteArray& name, QByteArray& bytes);
std::shared_ptr<Contact_Item> Contact_From_Bytes(const Contact_File_Context& context,
                                                 const QByteArray& bytes);

struct Task_File_Context
{
    QString Folder_Path;  // the task folder on disk; Save() writes <uid>.ics into it
    QString Folder_Entry; // the folder's path inside its store, for the EntryID
};

std::shared_ptr<Task_Item> New_Task_File(const Task_File_Context& context);
// An existing task (for reading back in tests and listings); nullptr if unusable.
std::shared_ptr<Task_Item> Load_Task_File(const QString& filePath, const QString& entryId);

} // namespace bc::outlook
