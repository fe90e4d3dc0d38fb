#pragma once
// The session over a profile on disk: the application object and its "MAPI"
// namespace.

#include "outlook/Object_Model.h"
#include "outlook/Profile.h"

#include <memory>

namespace bc::outlook {

class Profile_Namespace : public Name_Space
{
public:
    explicit Profile_Namespace(std::shared_ptr<const Profile_Data> profile);

    // An empty store id means the default store; an unknown one finds nothing.
    std::shared_ptr<Mapi_Folder> GetFolderFromID(const QString& entryId, const QString& storeId) override;
    std::shared_ptr<Outlook_Item> GetItemFromID(const QString& entryId, const QString& storeId) override;
    std::shared_ptr<Mapi_Folder> GetDefaultFolder(int kind) override;
    std::shared_ptr<Recipient> CurrentUser() override;
    // Every user's default folders are this profile's own.
    std::shared_ptr<Mapi_Folder> GetSharedDefaultFolder(Recipient& recipient, int kind) override;
    std::vector<std::shared_ptr<Mapi_Folder>> Stores() override;

    const std::shared_ptr<const Profile_Data>& Profile() const { return profile_; }

private:
    std::optional<std::size_t> Store_Index(const QString& storeId) const;
    std::shared_ptr<const Profile_Data> profile_;
};

class Profile_Application : public Application
{
public:
    explicit Profile_Application(std::shared_ptr<const Profile_Data> profile);
    std::shared_ptr<Name_Space> GetNamespace(const QString& type) override;

private:
    std::shared_ptr<const Profile_Data> profile_;
};

} // namespace bc::outlook
