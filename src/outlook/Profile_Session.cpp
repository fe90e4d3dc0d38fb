#include "outlook/Profile_Session.h"

#include "outlook/Profile_Folder.h"

namespace bc::outlook {
namespace {

class Profile_Recipient : public Recipient
{
public:
    Profile_Recipient(QString name, QString address) : name_(std::move(name)), address_(std::move(address)) {}
    QString Name() const override { return name_; }
    QString Address() const override { return address_; }
    bool Resolve() override { return !address_.isEmpty(); }

private:
    QString name_;
    QString address_;
};

} // namespace

Profile_Namespace::Profile_Namespace(std::shared_ptr<const Profile_Data> profile)
    : profile_(std::move(profile))
{
}

std::optional<std::size_t> Profile_Namespace::Store_Index(const QString& storeId) const
{
    if (profile_->Stores.empty())
        return std::nullopt;
    if (storeId.isEmpty())
        return 0;
    for (std::size_t i = 0; i < profile_->Stores.size(); ++i)
        if (profile_->Stores[i].Id.compare(storeId, Qt::CaseInsensitive) == 0)
            return i;
    return std::nullopt;
}

std::shared_ptr<Mapi_Folder> Profile_Namespace::GetFolderFromID(const QString& entryId,
                                                                const QString& storeId)
{
    const auto store = Store_Index(storeId);
    const auto path = Entry_Bytes(entryId);
    if (!store || !path)
        return nullptr;
    return Resolve_Folder(profile_, *store, *path);
}

std::shared_ptr<Outlook_Item> Profile_Namespace::GetItemFromID(const QString& entryId, const QString& storeId)
{
    const auto store = Store_Index(storeId);
    const auto bytes = Entry_Bytes(entryId);
    if (!store || !bytes)
        return nullptr;
    const qsizetype slash = bytes->lastIndexOf('/');
    if (slash <= 0)
        return nullptr;
    auto folder = Resolve_Folder(profile_, *store, bytes->left(slash));
    return folder ? folder->Find_Item(bytes->mid(slash + 1)) : nullptr;
}

std::shared_ptr<Mapi_Folder> Profile_Namespace::GetDefaultFolder(int kind)
{
    return Default_Folder(profile_, 0, kind);
}

std::shared_ptr<Recipient> Profile_Namespace::CurrentUser()
{
    return std::make_shared<Profile_Recipient>(profile_->User_Name, profile_->User_Address);
}

std::shared_ptr<Mapi_Folder> Profile_Namespace::GetSharedDefaultFolder(Recipient&, int kind)
{
    return GetDefaultFolder(kind);
}

std::vector<std::shared_ptr<Mapi_Folder>> Profile_Namespace::Stores()
{
    std::vector<std::shared_ptr<Mapi_Folder>> out;
    for (std::size_t i = 0; i < profile_->Stores.size(); ++i)
        out.push_back(Profile_Folder::Top(profile_, i));
    return out;
}

Profile_Application::Profile_Application(std::shared_ptr<const Profile_Data> profile)
    : profile_(std::move(profile))
{
}

std::shared_ptr<Name_Space> Profile_Application::GetNamespace(const QString& type)
{
    if (type.compare(QLatin1String("MAPI"), Qt::CaseInsensitive) != 0)
        return nullptr;
    return std::make_shared<Profile_Namespace>(profile_);
}

} // namespace bc::outlook
