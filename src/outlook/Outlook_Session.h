#pragma once
// The one mail session of the program.

#include "outlook/Object_Model.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace bc::outlook {

struct Outlook_Session
{
    std::shared_ptr<Application> Outlook_Application;
    std::shared_ptr<Name_Space> Outlook_Namespace;
};

Outlook_Session& Session();

// The profile folder: $BRINDLECAST_PROFILE, else $XDG_DATA_HOME/Brindlecast/Profile.
QString Profile_Folder();

// Attaches to the profile (creating a missing one) and sets both session
// references. Shows "Failed to create Outlook Application!" or
// "Failed to create Outlook Namespace!" and answers false when it cannot.
bool Start_Outlook();

// Two upper-case hexadecimal digits per byte; "" for no bytes.
QString Entry_ID_To_Hex(const QByteArray& bytes);

// The names of the folders above `folder`, from the store's top folder down
// to its parent, joined by "->". Shows "Error Scanning Contact Folder Path. "
// and the description on a failure and returns what it built so far.
QString Get_Folder_Path(const Mapi_Folder& folder);

} // namespace bc::outlook
