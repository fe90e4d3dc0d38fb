#pragma once
// Fresh listings of a folder's items, in file-name order.

#include "outlook/Item_Files.h"
#include "outlook/Maildir.h"
#include "outlook/Object_Model.h"
#include "outlook/Parallel_Reads.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

namespace bc::outlook {

class Profile_Folder;

// The regular files of dir whose names end in ext (any case), sorted. Stale
// temporary files of this program found on the way are removed.
std::vector<QByteArray> List_Item_Files(const QByteArray& dir, const char* ext);

// The messages of a mail folder. Item(i) follows a message whose flags another
// program changed, and gives nullptr for one that is gone.
class Maildir_Items : public Items_Collection
{
public:
    Maildir_Items(std::shared_ptr<const Profile_Folder> folder, std::vector<maildir::Entry> entries);
    int Count() const override { return int(entries_.size()); }
    std::shared_ptr<Outlook_Item> Item(int index) override;
    std::shared_ptr<Task_Item> Add_Task() override;
    std::shared_ptr<Items_Collection> Restrict(const QString& filter) override;

    const Profile_Folder& Folder() const { return *folder_; }
    const std::vector<maildir::Entry>& Entries() const { return entries_; }

private:
    std::shared_ptr<const Profile_Folder> folder_;
    std::vector<maildir::Entry> entries_;
};

// The contacts (.vcf) or tasks (.ics) of a folder, one file each. Item(i)
// gives nullptr for a file that is gone or is not a usable item.
class File_Items : public Items_Collection
{
public:
    File_Items(std::shared_ptr<const Profile_Folder> folder, std::vector<QByteArray> files);
    ~File_Items() override;
    File_Items(const File_Items&) = delete;
    File_Items& operator=(const File_Items&) = delete;
    int Count() const override { return int(files_.size()); }
    std::shared_ptr<Outlook_Item> Item(int index) override;
    // Contact folders: reads the file once and parses it only when it may
    // hold a wanted address.
    std::shared_ptr<Outlook_Item> Screened_Item(int index, const Address_Screen& screen) override;
    void Expect_Walk(int first, int last) override;
    std::shared_ptr<Task_Item> Add_Task() override;
    // Contact folders only: [Field] = "value" (or 'value'; a quote inside is
    // doubled) compares a standard field, else the user property of that name.
    std::shared_ptr<Items_Collection> Restrict(const QString& filter) override;

private:
    bool Is_Contacts() const { return contacts_; }
    Contact_File_Context Context(int index);
    void Walked_To(int index);
    std::shared_ptr<const Profile_Folder> folder_;
    std::vector<QByteArray> files_;
    bool contacts_;   // else tasks
    QString deleted_; // where deleted contacts go, found once
    std::unique_ptr<Read_Ahead> ahead_;
    int dirFd_ = -1; // the folder, opened for a walk's reads; -1 until then
    int walkFirst_ = 0;
    bool walkDown_ = false;
};

} // namespace bc::outlook
