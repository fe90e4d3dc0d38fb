#pragma once
// The listed contact folders ("databases") and their file "dbdata-outlook.dat".

#include <QString>

#include <vector>

namespace bc {

struct Contact_Folder_Record
{
    QString Folder_Name;
    QString Folder_Path;
    QString Entry_ID;
    QString Store_ID;
};

struct Contact_Folders
{
    std::vector<Contact_Folder_Record> Contact_Folder_List;
    int Contact_Folder_Count() const { return static_cast<int>(Contact_Folder_List.size()); }
};

// The program-wide list.
Contact_Folders& Folders();

inline const QString kFieldSeparator = QStringLiteral("-:::-");
inline const QString kContactFolderFile = QStringLiteral("dbdata-outlook.dat");

// The n-th "-:::-" separated field, counting from 1 (n <= 0 counts as 1).
// Overlapping separators show "Error: " and a description and give "".
QString Get_Field(const QString& text, int n);

// Appends the records of Data_Folder/dbdata-outlook.dat to Folders(); a
// missing file adds nothing. Lines whose first field does not decrypt are
// skipped. Returns false with *error set when the file cannot be read
// (records read before the failure stay).
bool Load_Contact_Folder_List(QString* error = nullptr);

// Writes Folders() to the file (atomically: a failure keeps the old file
// whole), or deletes the file, read-only too, when the list is empty. Returns
// false with *error set on failure. Callers skip this in an unattended run.
bool Save_Contact_Folder_List(QString* error = nullptr);

} // namespace bc
