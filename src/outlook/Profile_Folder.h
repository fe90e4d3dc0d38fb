#pragma once
// The folders of a store. A store is a directory tree: mail folders are
// Maildirs, nested as plain subdirectories (mbsync "Verbatim", Dovecot's fs
// layout) or as dot-named Maildir++ folders beside a Maildir root (".Sent",
// ".Inbox.Bounces", as Dovecot and Courier write them; the root's own
// messages are the store's Inbox); contact folders hold
// .vcf files and task folders .ics files.
//
// A folder is found again by its path inside the store (names below the top
// folder joined by "/"), and only by walking the tree from the top: a path
// that names no listed folder ("..", absolute paths, symlinks that leave the
// store) resolves to nothing.

#include "outlook/Object_Model.h"
#include "outlook/Profile.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace bc::outlook {

// The file that tells the kind of a folder whose content does not (an empty
// one): "class=IPM.Contact" or "class=IPM.Task".
inline constexpr const char* kFolder_Class_File = ".brindlecast-folder";

// The top folder's path: the store itself.
inline constexpr const char* kTop_Folder_Path = ".";

// Creates a folder directory: a Maildir for "IPM.Note", otherwise a directory
// with the class file. True when it exists afterwards.
bool Create_Folder_Directory(const QByteArray& dir, const QString& messageClass, QString* error = nullptr);

// The bytes of an EntryID ("2F41" -> "/A"); nullopt for text that is not
// upper- or lower-case hexadecimal of at least one byte.
std::optional<QByteArray> Entry_Bytes(const QString& entryId);

class Profile_Folder : public Mapi_Folder, public std::enable_shared_from_this<Profile_Folder>
{
public:
    enum class Layout
    {
        Top,        // the store's directory
        Plain,      // a subdirectory
        Root_Inbox, // the messages of a Maildir store root, shown as "Inbox"
        Dotted      // a Maildir++ folder (or a level of one that has no maildir)
    };

    static std::shared_ptr<Profile_Folder> Top(std::shared_ptr<const Profile_Data> profile,
                                               std::size_t store);

    QString EntryID() const override;
    QString StoreID() const override;
    QString Name() const override;
    QString DefaultMessageClass() const override;
    std::shared_ptr<Mapi_Folder> Parent() const override;
    std::shared_ptr<Items_Collection> Items() override;
    std::vector<std::shared_ptr<Mapi_Folder>> Folders() const override;

    const std::shared_ptr<const Profile_Data>& Profile() const { return profile_; }
    std::size_t Store_Index() const { return store_; }
    const Profile_Store& Store() const { return profile_->Stores[store_]; }
    Layout Kind() const { return layout_; }
    // Names below the top folder joined by '/' (file-system bytes); "" for the top.
    const QByteArray& Path() const { return path_; }
    // Where the folder's own files are; may not exist yet (a Maildir++ level).
    const QByteArray& Directory() const { return dir_; }
    bool Is_Mail() const { return DefaultMessageClass() == QLatin1String("IPM.Note"); }

    std::vector<std::shared_ptr<Profile_Folder>> Children() const;
    std::shared_ptr<Profile_Folder> Child(const QByteArray& component) const;
    // The item file path for an EntryID's last part, if the folder holds it.
    std::shared_ptr<Outlook_Item> Find_Item(const QByteArray& uniqueName) const;

private:
    Profile_Folder(std::shared_ptr<const Profile_Data> profile, std::size_t store,
                   std::shared_ptr<const Profile_Folder> parent, Layout layout, QString name,
                   QByteArray component, QByteArray dir, std::vector<QByteArray> dotted);
    std::shared_ptr<Profile_Folder> Make_Child(Layout layout, QString name, QByteArray component,
                                               QByteArray dir, std::vector<QByteArray> dotted) const;
    void Add_Dotted_Children(std::vector<std::shared_ptr<Profile_Folder>>& out) const;
    void Add_Plain_Children(std::vector<std::shared_ptr<Profile_Folder>>& out) const;

    std::shared_ptr<const Profile_Data> profile_;
    std::size_t store_;
    std::shared_ptr<const Profile_Folder> parent_;
    Layout layout_;
    QString name_;
    QByteArray path_;
    QByteArray dir_;
    std::vector<QByteArray> dotted_; // raw Maildir++ name parts of a Dotted folder
    mutable std::optional<QString> class_;
};

// A folder of the store by its path ("." for the top folder); nullptr when
// the path names none.
std::shared_ptr<Profile_Folder> Resolve_Folder(const std::shared_ptr<const Profile_Data>& profile,
                                               std::size_t store, const QByteArray& path);

// Inbox (6), Deleted Items (3; an existing "Trash" counts) and Tasks (13) of
// a store, created when missing. nullptr for other kinds or on failure.
std::shared_ptr<Profile_Folder> Default_Folder(const std::shared_ptr<const Profile_Data>& profile,
                                               std::size_t store, int kind);

// Where a store's deleted contacts go: a contact folder inside the store's
// deleted items folder, as Outlook keeps deleted contacts in Deleted Items.
QString Deleted_Contacts_Folder(const std::shared_ptr<const Profile_Data>& profile, std::size_t store);

} // namespace bc::outlook
