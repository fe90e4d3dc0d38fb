// Folders of the profile: nested and Maildir++ layouts, folder kinds, default
// folders, and lookups by EntryID that must stay inside their store; contact
// and task folders: listings, lookups, Restrict, deleted contacts, new tasks,
// and the contact item wrapper.

#include "outlook/Mapi_Components.h"
#include "outlook/Outlook_Session.h"
#include "outlook/Profile.h"
#include "test_profile_support.h"

#include <functional>

#include <unistd.h>

using namespace bc::outlook;
using namespace bc::test;

namespace {

// "Name=Class" of every folder below `folder`, depth first, indented by level.
QStringList Tree_Lines(const Mapi_Folder& folder, int depth = 0)
{
    QStringList out;
    for (auto& child : folder.Folders()) {
        out << QString(depth * 2, ' ') + child->Name() + "=" + child->DefaultMessageClass();
        out << Tree_Lines(*child, depth + 1);
    }
    return out;
}

QString Tree(const Mapi_Folder& folder)
{
    return Tree_Lines(folder).join(" | ");
}

// Every folder below `top`, for round trips.
void Each_Folder(const std::shared_ptr<Mapi_Folder>& top, const std::function<void(Mapi_Folder&)>& f)
{
    for (auto& child : top->Folders()) {
        f(*child);
        Each_Folder(child, f);
    }
}

QString Add_Store(const Temp_Home& home, const QString& name, const QString& dir)
{
    QString id;
    EXPECT_TRUE(Add_Profile_Store(home.Profile(), name, dir, &id));
    return id;
}

} // namespace

TEST(Folders, NestedLayoutAsMbsyncWritesIt)
{
    Temp_Home home;
    const QString mail = home.Path() + "/Mail";
    Make_Maildir(mail + "/INBOX");
    Make_Maildir(mail + "/Archive");
    Make_Maildir(mail + "/Archive/2023");
    Write_File(mail + "/Friends/anna.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Anna\r\nEND:VCARD\r\n");
    Write_File(mail + "/Todo/a.ics", "BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n");
    QDir().mkpath(mail + "/.hidden/cur");
    const QString id = Add_Store(home, "Work Mail", mail);
    auto ns = Open_Session();
    auto work = ns->Stores().at(1);
    EXPECT_EQ(work->Name(), "Work Mail");
    EXPECT_EQ(Tree(*work), "Archive=IPM.Note |   2023=IPM.Note | Friends=IPM.Contact | INBOX=IPM.Note | "
                           "Todo=IPM.Task");

    auto y2023 = Folder_At(*ns, "Archive/2023", id);
    ASSERT_TRUE(y2023);
    EXPECT_EQ(y2023->EntryID(), Hex("Archive/2023"));
    EXPECT_EQ(y2023->StoreID(), id);
    EXPECT_EQ(y2023->Parent()->Name(), "Archive");
    EXPECT_EQ(y2023->Parent()->Parent()->Name(), "Work Mail");
    EXPECT_EQ(y2023->Parent()->Parent()->Parent(), nullptr);
    EXPECT_EQ(Get_Folder_Path(*y2023), "Work Mail->Archive");
}

TEST(Folders, MaildirPlusPlusLayoutAsDovecotWritesIt)
{
    Temp_Home home;
    const QString root = home.Path() + "/Maildir";
    Make_Maildir(root);
    Make_Maildir(root + "/.Sent");
    Make_Maildir(root + "/.Inbox.Bounces");
    Make_Maildir(root + "/.Archive.2024"); // ".Archive" itself has no maildir
    Make_Maildir(root + "/.Entw&APw-rfe");
    Write_File(root + "/cur/1700000000.M1P1.host:2,S", Message("Subject: in the root"));
    Write_File(root + "/.Inbox.Bounces/new/1700000001.M1P1.host", Message("Subject: bounced"));
    const QString id = Add_Store(home, "Dovecot", root);
    auto ns = Open_Session();
    EXPECT_EQ(Tree(*ns->Stores().at(1)), "Archive=IPM.Note |   2024=IPM.Note | Entwürfe=IPM.Note | "
                                         "Inbox=IPM.Note |   Bounces=IPM.Note | Sent=IPM.Note");

    auto inbox = Folder_At(*ns, "Inbox", id);
    ASSERT_TRUE(inbox);
    auto items = inbox->Items();
    ASSERT_EQ(items->Count(), 1);
    EXPECT_EQ(std::dynamic_pointer_cast<Mail_Item>(items->Item(1))->Subject(), "in the root");

    auto bounces = Folder_At(*ns, "Inbox/Bounces", id);
    ASSERT_TRUE(bounces);
    ASSERT_EQ(bounces->Items()->Count(), 1);
    EXPECT_EQ(std::dynamic_pointer_cast<Mail_Item>(bounces->Items()->Item(1))->Subject(), "bounced");
    EXPECT_TRUE(Folder_At(*ns, QString("Entwürfe").toUtf8(), id));

    // "Archive" exists only as the level above ".Archive.2024": a move makes its Maildir.
    auto archive = Folder_At(*ns, "Archive", id);
    ASSERT_TRUE(archive);
    EXPECT_EQ(archive->Items()->Count(), 0);
    std::dynamic_pointer_cast<Mail_Item>(bounces->Items()->Item(1))->Move(*archive);
    EXPECT_TRUE(QFileInfo(root + "/.Archive/cur").isDir());
    EXPECT_EQ(Folder_At(*ns, "Archive", id)->Items()->Count(), 1);
    EXPECT_TRUE(Folder_At(*ns, "Archive/2024", id));
    EXPECT_EQ(bounces->Items()->Count(), 0);
}

TEST(Folders, EveryFolderIsFoundAgainByItsIds)
{
    Temp_Home home;
    const QString root = home.Path() + "/Maildir";
    Make_Maildir(root);
    Make_Maildir(root + "/.Inbox.Bounces");
    Make_Maildir(root + "/Nested/Deeper");
    // A name that is not UTF-8 still has an id that leads back to it.
    Make_Maildir(QFile::decodeName(root.toUtf8() + "/Caf\xe9"));
    Add_Store(home, "Mixed", root);
    auto ns = Open_Session();
    int seen = 0;
    for (auto& store : ns->Stores()) {
        auto again = ns->GetFolderFromID(store->EntryID(), store->StoreID());
        ASSERT_TRUE(again);
        EXPECT_EQ(again->Name(), store->Name());
        Each_Folder(store, [&](Mapi_Folder& f) {
            auto found = ns->GetFolderFromID(f.EntryID(), f.StoreID());
            ASSERT_TRUE(found) << f.Name();
            EXPECT_EQ(found->Name(), f.Name());
            EXPECT_EQ(found->EntryID(), f.EntryID());
            ++seen;
        });
    }
    EXPECT_EQ(seen, 4 + 5); // Personal Folders' four; Inbox, Bounces, Nested, Deeper and the odd name
}

TEST(Folders, KindOfAnEmptyFolderComesFromItsClassFile)
{
    Temp_Home home;
    auto ns = Open_Session();
    const QString root = Personal_Folders(home);
    ASSERT_EQ(Files_In(root + "/Contacts"), QStringList{".brindlecast-folder"});
    EXPECT_EQ(Folder_At(*ns, "Contacts")->DefaultMessageClass(), "IPM.Contact");
    EXPECT_EQ(Folder_At(*ns, "Tasks")->DefaultMessageClass(), "IPM.Task");
    // Without a class file and without content a folder holds mail.
    QDir().mkpath(root + "/Empty");
    EXPECT_EQ(Folder_At(*ns, "Empty")->DefaultMessageClass(), "IPM.Note");
    EXPECT_EQ(Folder_At(*ns, "Empty")->Items()->Count(), 0);
    // A class file with nonsense does not decide.
    Write_File(root + "/Odd/.brindlecast-folder", "class=IPM.Nonsense\n");
    Write_File(root + "/Odd/x.vcf", "BEGIN:VCARD\r\nEND:VCARD\r\n");
    EXPECT_EQ(Folder_At(*ns, "Odd")->DefaultMessageClass(), "IPM.Contact");
}

TEST(DefaultFolders, ExistingOnesAreFoundAndMissingOnesCreated)
{
    Temp_Home home;
    auto ns = Open_Session();
    const QString root = Personal_Folders(home);
    auto inbox = ns->GetDefaultFolder(olFolderInbox);
    auto deleted = ns->GetDefaultFolder(olFolderDeletedItems);
    auto tasks = ns->GetDefaultFolder(olFolderTasks);
    ASSERT_TRUE(inbox && deleted && tasks);
    EXPECT_EQ(inbox->Name(), "Inbox");
    EXPECT_EQ(deleted->Name(), "Deleted Items");
    EXPECT_EQ(tasks->Name(), "Tasks");
    EXPECT_EQ(tasks->DefaultMessageClass(), "IPM.Task");
    EXPECT_EQ(ns->GetDefaultFolder(10), nullptr);

    QDir(root + "/Inbox").removeRecursively();
    QDir(root + "/Deleted Items").removeRecursively();
    QDir(root + "/Tasks").removeRecursively();
    ASSERT_TRUE(ns->GetDefaultFolder(olFolderInbox));
    ASSERT_TRUE(ns->GetDefaultFolder(olFolderDeletedItems));
    ASSERT_TRUE(ns->GetDefaultFolder(olFolderTasks));
    EXPECT_TRUE(QFileInfo(root + "/Inbox/cur").isDir());
    EXPECT_TRUE(QFileInfo(root + "/Deleted Items/new").isDir());
    EXPECT_EQ(Read_File(root + "/Tasks/.brindlecast-folder"), "class=IPM.Task\n");

    auto user = ns->CurrentUser();
    EXPECT_EQ(ns->GetSharedDefaultFolder(*user, olFolderTasks)->EntryID(), tasks->EntryID());
}

TEST(DefaultFolders, AnExistingTrashIsTheDeletedItemsFolder)
{
    Temp_Home home;
    Make_Maildir(home.Profile() + "/Local/Inbox");
    Make_Maildir(home.Profile() + "/Local/Trash");
    Write_File(home.Profile() + "/profile.ini", "[Store 1]\nName=Local\nPath=Local\n");
    auto ns = Open_Session();
    auto deleted = ns->GetDefaultFolder(olFolderDeletedItems);
    ASSERT_TRUE(deleted);
    EXPECT_EQ(deleted->Name(), "Trash");
    EXPECT_FALSE(QFileInfo::exists(home.Profile() + "/Local/Deleted Items"));
}

TEST(DefaultFolders, AMaildirPlusPlusStoreGetsMaildirPlusPlusFolders)
{
    Temp_Home home;
    Make_Maildir(home.Profile() + "/Maildir");
    Write_File(home.Profile() + "/profile.ini", "[Store 1]\nName=Mail\nPath=Maildir\n");
    auto ns = Open_Session();
    auto inbox = ns->GetDefaultFolder(olFolderInbox);
    ASSERT_TRUE(inbox);
    EXPECT_EQ(inbox->EntryID(), Hex("Inbox"));
    EXPECT_FALSE(QFileInfo::exists(home.Profile() + "/Maildir/Inbox")); // the root is the Inbox
    auto deleted = ns->GetDefaultFolder(olFolderDeletedItems);
    ASSERT_TRUE(deleted);
    EXPECT_EQ(deleted->Name(), "Deleted Items");
    EXPECT_TRUE(QFileInfo(home.Profile() + "/Maildir/.Deleted Items/cur").isDir());
    EXPECT_TRUE(QFileInfo::exists(home.Profile() + "/Maildir/.Deleted Items/maildirfolder"));
}

TEST(DefaultFolders, AMailFolderCalledTasksIsLeftAlone)
{
    Temp_Home home;
    auto ns = Open_Session();
    const QString root = Personal_Folders(home);
    QDir(root + "/Tasks").removeRecursively();
    Make_Maildir(root + "/Tasks");
    Write_File(root + "/Tasks/cur/1.x:2,", Message("Subject: a mail"));
    auto tasks = ns->GetDefaultFolder(olFolderTasks);
    ASSERT_TRUE(tasks);
    EXPECT_EQ(tasks->DefaultMessageClass(), "IPM.Task");
    EXPECT_NE(tasks->Name(), "Tasks");
    EXPECT_TRUE(QFileInfo::exists(root + "/Tasks/cur/1.x:2,"));
}

TEST(EntryIds, ThatLeaveTheirStoreAreNeverResolved)
{
    Temp_Home home;
    auto ns = Open_Session();
    const QString store = Default_Store_Id(*ns);
    const QString root = Personal_Folders(home);
    Make_Maildir(home.Path() + "/outside");
    Write_File(home.Path() + "/outside/cur/1.secret:2,", Message("Subject: secret"));
    Write_File(root + "/Inbox/cur/1.mine:2,", Message("Subject: mine"));
    ASSERT_EQ(
        ::symlink((home.Path() + "/outside").toUtf8().constData(), (root + "/Link").toUtf8().constData()), 0);
    ASSERT_EQ(::symlink((home.Path() + "/outside/cur/1.secret:2,").toUtf8().constData(),
                        (root + "/Inbox/cur/1.link:2,").toUtf8().constData()),
              0);

    for (const QByteArray& path :
         {QByteArray(".."), QByteArray("../outside"), QByteArray("Inbox/../.."), QByteArray("/"),
          (home.Path() + "/outside").toUtf8(), QByteArray("Link"), QByteArray("Inbox/"),
          QByteArray("Inbox//"), QByteArray("Inbox/cur"), QByteArray("inbox")})
        EXPECT_EQ(ns->GetFolderFromID(Hex(path), store), nullptr) << path.toStdString();
    for (const QString& garbage :
         {QString(), QString("ZZ"), QString("496"), QString("49 6E"), QString("xyz")})
        EXPECT_EQ(ns->GetFolderFromID(garbage, store), nullptr) << garbage;
    EXPECT_EQ(ns->GetFolderFromID(Hex("Inbox"), "00000000000000000000000000000000"), nullptr);

    for (const QByteArray& path :
         {QByteArray("Inbox/../../outside/cur/1.secret"), QByteArray("Link/1.secret"),
          QByteArray("Inbox/1.link"), QByteArray("../outside/1.secret"), QByteArray("Inbox/cur/1.mine"),
          QByteArray("Inbox/.."), QByteArray("/1.mine"), QByteArray("1.mine")})
        EXPECT_EQ(ns->GetItemFromID(Hex(path), store), nullptr) << path.toStdString();
    EXPECT_TRUE(ns->GetItemFromID(Hex("Inbox/1.mine"), store));
    EXPECT_FALSE(Tree(*ns->Stores()[0]).contains("Link"));
}

TEST(EntryIds, AnEmptyStoreIdMeansTheDefaultStore)
{
    Temp_Home home;
    auto ns = Open_Session();
    auto inbox = ns->GetFolderFromID(Hex("Inbox"), QString());
    ASSERT_TRUE(inbox);
    EXPECT_EQ(inbox->StoreID(), Default_Store_Id(*ns));
    EXPECT_EQ(ns->GetFolderFromID(Hex("Inbox"), Default_Store_Id(*ns).toLower())->Name(), "Inbox");
}

namespace {

QByteArray Card(const QByteArray& name, const QByteArray& email, const QByteArray& extra = {})
{
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + name.toLower().replace(' ', '-') + "\r\nFN:" + name +
           "\r\nN:" + name + ";;;;\r\nEMAIL;TYPE=INTERNET:" + email + "\r\n" + extra + "END:VCARD\r\n";
}

class Contacts : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ns = Open_Session();
        ASSERT_TRUE(ns);
        dir = Personal_Folders(home) + "/Contacts";
        Write_File(dir + "/b-bob.vcf", Card("Bob Baker", "bob@example.com", "ORG:Acme Ltd\r\n"));
        Write_File(dir + "/a-anna.vcf", Card("Anna Adams", "anna@example.com", "X-STATUS:Bounced\r\n"));
        Write_File(dir + "/c-list.vcf",
                   "BEGIN:VCARD\r\nVERSION:4.0\r\nKIND:group\r\nFN:List\r\nEND:VCARD\r\n");
        Write_File(dir + "/d-carl.vcf", Card("Carl Cole", "carl@example.com", "ORG:Acme Ltd\r\n"));
        Write_File(dir + "/notes.txt", "not a contact");
        Write_File(dir + "/e-dora.VCF", Card("Dora Dean", "dora@example.com", ""));
    }

    QStringList Names(Items_Collection& items)
    {
        QStringList out;
        for (int i = 1; i <= items.Count(); ++i)
            if (auto c = std::dynamic_pointer_cast<Contact_Item>(items.Item(i)))
                out << c->FullName();
        return out;
    }

    Temp_Home home;
    std::shared_ptr<Name_Space> ns;
    QString dir;
};

} // namespace

TEST_F(Contacts, ListedInFileNameOrderSkippingNonContacts)
{
    auto items = Folder_At(*ns, "Contacts")->Items();
    EXPECT_EQ(items->Count(), 5);       // the five .vcf files, whatever the case of the extension
    EXPECT_EQ(items->Item(3), nullptr); // the distribution list
    EXPECT_EQ(Names(*items), QStringList({"Anna Adams", "Bob Baker", "Carl Cole", "Dora Dean"}));
    auto first = items->Item(1);
    EXPECT_EQ(first->EntryID(), Hex("Contacts/a-anna.vcf"));
    EXPECT_EQ(first->MessageClass(), "IPM.Contact");
}

TEST_F(Contacts, FoundAgainByEntryIdUntilDeleted)
{
    auto found = std::dynamic_pointer_cast<Contact_Item>(ns->GetItemFromID(Hex("Contacts/b-bob.vcf"), {}));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->Email_Address(1), "bob@example.com");
    EXPECT_EQ(ns->GetItemFromID(Hex("Contacts/notes.txt"), {}), nullptr);
    EXPECT_EQ(ns->GetItemFromID(Hex("Contacts/.brindlecast-folder"), {}), nullptr);

    found->Delete();
    EXPECT_EQ(ns->GetItemFromID(Hex("Contacts/b-bob.vcf"), {}), nullptr);
    // Deleted contacts wait in the store's deleted items folder, as a contact folder.
    auto deleted = Folder_At(*ns, "Deleted Items/Contacts");
    ASSERT_TRUE(deleted);
    EXPECT_EQ(deleted->DefaultMessageClass(), "IPM.Contact");
    EXPECT_EQ(Names(*deleted->Items()), QStringList{"Bob Baker"});
}

TEST_F(Contacts, RestrictComparesAStandardFieldOrAUserPropertyByExactText)
{
    auto contacts = Folder_At(*ns, "Contacts")->Items();
    EXPECT_EQ(Names(*contacts->Restrict("[CompanyName] = \"Acme Ltd\"")),
              QStringList({"Bob Baker", "Carl Cole"}));
    EXPECT_EQ(Names(*contacts->Restrict("[CompanyName] = \"acme ltd\"")), QStringList());
    EXPECT_EQ(Names(*contacts->Restrict("[Email1Address]='anna@example.com'")), QStringList{"Anna Adams"});

    auto anna = std::dynamic_pointer_cast<Contact_Item>(ns->GetItemFromID(Hex("Contacts/a-anna.vcf"), {}));
    anna->UserProperties().Add("Mail Status")->Set_Value("He said \"gone\"");
    anna->Save();
    EXPECT_EQ(Names(*contacts->Restrict("[Mail Status] = \"He said \"\"gone\"\"\"")),
              QStringList{"Anna Adams"});
    EXPECT_EQ(Names(*contacts->Restrict("[Mail Status] = \"\"")), QStringList());
}

TEST_F(Contacts, RestrictRejectsAFilterItCannotRead)
{
    auto contacts = Folder_At(*ns, "Contacts")->Items();
    for (const QString& bad : {QString("CompanyName = \"Acme\""), QString("[CompanyName] = Acme"),
                               QString("[CompanyName] <> \"Acme\""), QString("[] = \"x\""), QString(),
                               QString("[CompanyName] = \"Acme\" AND [FullName] = \"x\"")})
        EXPECT_THROW(contacts->Restrict(bad), Outlook_Error) << bad;
    EXPECT_THROW(Folder_At(*ns, "Inbox")->Items()->Restrict("[Subject] = \"x\""), Outlook_Error);
}

TEST_F(Contacts, AddTaskMakesANewTaskInATaskFolderOnly)
{
    auto tasks = ns->GetDefaultFolder(olFolderTasks);
    auto task = tasks->Items()->Add_Task();
    ASSERT_TRUE(task);
    task->Set_Subject("Check the address");
    task->Save();
    auto listed = tasks->Items();
    ASSERT_EQ(listed->Count(), 1);
    auto again = std::dynamic_pointer_cast<Task_Item>(listed->Item(1));
    ASSERT_TRUE(again);
    EXPECT_EQ(again->Subject(), "Check the address");
    EXPECT_TRUE(ns->GetItemFromID(again->EntryID(), {}));
    EXPECT_TRUE(again->EntryID().startsWith(Hex("Tasks/")));

    EXPECT_THROW(Folder_At(*ns, "Contacts")->Items()->Add_Task(), Outlook_Error);
    EXPECT_THROW(Folder_At(*ns, "Inbox")->Items()->Add_Task(), Outlook_Error);
}

TEST_F(Contacts, ContactItemWrapperActsOnTheContactSet)
{
    QuorinContactItem wrapper;
    EXPECT_THROW(wrapper.Email1Address(), Outlook_Error);
    EXPECT_THROW(wrapper.Save(), Outlook_Error);

    wrapper.Set_Item(
        std::dynamic_pointer_cast<Contact_Item>(ns->GetItemFromID(Hex("Contacts/d-carl.vcf"), {})));
    EXPECT_EQ(wrapper.FullName(), "Carl Cole");
    EXPECT_EQ(wrapper.Email1Address(), "carl@example.com");
    EXPECT_EQ(wrapper.Email2Address(), "");
    EXPECT_EQ(wrapper.EntryID(), Hex("Contacts/d-carl.vcf"));
    wrapper.Set_Email2Address("second@example.com");
    wrapper.Set_Email1Address("");
    wrapper.Set_Body("Returned mail noted.");
    wrapper.Set_Property("JobTitle", "Engineer");
    EXPECT_THROW(wrapper.Set_Property("NoSuchField", "x"), Outlook_Error);
    wrapper.Save();

    auto reread = std::dynamic_pointer_cast<Contact_Item>(ns->GetItemFromID(Hex("Contacts/d-carl.vcf"), {}));
    EXPECT_EQ(reread->Email_Address(1), "");
    EXPECT_EQ(reread->Email_Address(2), "second@example.com");
    EXPECT_EQ(reread->Body(), "Returned mail noted.");
    EXPECT_EQ(reread->Standard_Field("JobTitle"), "Engineer");

    wrapper.Delete();
    EXPECT_EQ(ns->GetItemFromID(Hex("Contacts/d-carl.vcf"), {}), nullptr);
}

TEST(DisplayTo, ReadThroughTheOnePropertyReader)
{
    Temp_Home home;
    auto ns = Open_Session();
    Write_File(Personal_Folders(home) + "/Inbox/cur/1.a:2,", Message("Subject: s"));
    auto item = ns->GetItemFromID(Hex("Inbox/1.a"), {});
    ASSERT_TRUE(item);
    Corvel2MAPIUtils utils;
    EXPECT_EQ(utils.HrGetOneProp(*item, PR_DISPLAY_TO), "Jane Doe");
    EXPECT_THROW(utils.HrGetOneProp(*item, PR_SUBJECT), Outlook_Error);
    Write_File(Personal_Folders(home) + "/Contacts/x.vcf",
               "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:X\r\nEND:VCARD\r\n");
    auto contact = ns->GetItemFromID(Hex("Contacts/x.vcf"), {});
    ASSERT_TRUE(contact);
    EXPECT_THROW(utils.HrGetOneProp(*contact, PR_DISPLAY_TO), Outlook_Error);
}
