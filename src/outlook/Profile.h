#pragma once
// The mail profile: profile.ini in the profile folder names the user and the
// stores (folder trees of mail, contacts and tasks).
//
//   [User]
//   Name=Jane Doe
//   Address=jane@example.com
//
//   [Store 1]
//   Name=Personal Folders
//   Path=Personal Folders        (relative to the profile folder, or absolute)
//   Id=0123456789ABCDEF0123456789ABCDEF

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

namespace bc::outlook {

struct Profile_Store
{
    int Number = 0;  // N of [Store N]
    QString Name;    // the name of the store's top folder
    QString Path;    // as written in profile.ini
    QString Id;      // the StoreID: 32 upper-case hexadecimal digits
    QByteArray Root; // the store's directory, absolute (file-system bytes)
};

struct Profile_Data
{
    QString Folder;
    QString User_Name;
    QString User_Address;
    std::vector<Profile_Store> Stores; // by number; the first is the default store
};

inline constexpr const char* kDefault_Store_Name = "Personal Folders";

// Reads the profile in `folder`. A missing profile is created with one store
// "Personal Folders" holding Inbox, Deleted Items, Contacts and Tasks; a store
// without a usable Id gets one, written back so that it stays. nullptr (and
// *error) when the profile can be neither read nor created.
std::shared_ptr<const Profile_Data> Open_Profile(const QString& folder, QString* error = nullptr);

// Adds a store to the profile (creating the profile first when missing).
// `path` is kept as given: relative to the profile folder or absolute.
bool Add_Profile_Store(const QString& folder, const QString& name, const QString& path,
                       QString* newId = nullptr, QString* error = nullptr);

// Sets the [User] section, keeping everything else of profile.ini.
bool Set_Profile_User(const QString& folder, const QString& name, const QString& address,
                      QString* error = nullptr);

QString New_Store_Id();

} // namespace bc::outlook
