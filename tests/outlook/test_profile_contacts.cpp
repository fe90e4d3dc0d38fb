// Contact and task folders of the profile: listings, lookups, Restrict,
// deleted contacts, new tasks, and the contact item wrapper.

#include "outlook/Mapi_Components.h"
#include "outlook/Outlook_Session.h"
#include "test_profile_support.h"

using namespace bc::outlook;
using namespace bc::test;

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
    EXPECT_EQ(items->Count(), 4);       // the four .vcf files
    EXPECT_EQ(items->Item(3), nullptr); // the distribution list
    EXPECT_EQ(Names(*items), QStringList({"Anna Adams", "Bob Baker", "Carl Cole"}));
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
