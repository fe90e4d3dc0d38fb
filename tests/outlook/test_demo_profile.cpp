// The demo profile holds what its tables say: returned messages in the
// common servers' forms naming their failed addresses, and contacts that
// carry those addresses in every slot and letter case.

#include "demo/Demo_Profile.h"
#include "outlook/Outlook_Session.h"
#include "test_profile_support.h"

#include <QRegularExpression>
#include <QSet>

using namespace bc::outlook;
using namespace bc::test;

namespace {

QSet<QString> Addresses_In(const QString& text)
{
    static const QRegularExpression re(QStringLiteral("[A-Za-z0-9._%+-]+@[A-Za-z0-9-]+(\\.[A-Za-z0-9-]+)+"));
    QSet<QString> out;
    for (auto it = re.globalMatch(text); it.hasNext();)
        out.insert(it.next().captured(0).toLower());
    return out;
}

QSet<QString> Lower(const QStringList& list)
{
    QSet<QString> out;
    for (const QString& s : list)
        out.insert(s.toLower());
    return out;
}

class Demo : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(Write_Demo_Profile(home.Profile(), &error)) << error;
        ns = Open_Session();
        ASSERT_TRUE(ns);
    }

    std::shared_ptr<Mail_Item> Returned(const demo::Returned_Message& m)
    {
        return std::dynamic_pointer_cast<Mail_Item>(ns->GetItemFromID(Hex("Inbox/" + m.File.toUtf8()), {}));
    }

    Temp_Home home;
    std::shared_ptr<Name_Space> ns;
};

} // namespace

TEST_F(Demo, ProfileHasTheUserTheStoreAndItsFolders)
{
    auto user = ns->CurrentUser();
    EXPECT_EQ(user->Name(), "Jane Doe");
    EXPECT_EQ(user->Address(), demo::kUser_Address);
    ASSERT_EQ(ns->Stores().size(), 1u);
    QStringList names;
    for (auto& f : ns->Stores()[0]->Folders())
        names << f->Name() + "=" + f->DefaultMessageClass();
    EXPECT_EQ(names, QStringList({"Bounced=IPM.Note", "Contacts=IPM.Contact", "Deleted Items=IPM.Note",
                                  "Inbox=IPM.Note", "Tasks=IPM.Task"}));
    const int messages = int(demo::Returned_Messages().size()) + demo::Ordinary_Message_Count();
    EXPECT_EQ(ns->GetDefaultFolder(olFolderInbox)->Items()->Count(), messages);
    EXPECT_GE(messages, 35);
    EXPECT_LE(messages, 45);
    EXPECT_EQ(Folder_At(*ns, "Contacts")->Items()->Count(), demo::Contact_Count());
    EXPECT_EQ(Folder_At(*ns, "Bounced")->Items()->Count(), 0);
}

TEST_F(Demo, ReturnedMessagesReadAsTheTableSays)
{
    bool ownAddressQuoted = false;
    QStringList subjects;
    for (const auto& m : demo::Returned_Messages()) {
        auto mail = Returned(m);
        ASSERT_TRUE(mail) << m.File;
        EXPECT_EQ(mail->Subject(), m.Subject) << m.Form;
        EXPECT_EQ(mail->MessageClass(), m.Message_Class) << m.Form;
        const QSet<QString> found = Addresses_In(mail->Body());
        for (const QString& failed : m.Failed)
            EXPECT_TRUE(found.contains(failed.toLower())) << m.Form << ": " << failed << " not in\n"
                                                          << mail->Body();
        EXPECT_EQ(found, Lower(m.Failed) + Lower(m.Others)) << m.Form << ":\n" << mail->Body();
        ownAddressQuoted |= found.contains(demo::kUser_Address);
        subjects << m.Subject;
    }
    EXPECT_TRUE(ownAddressQuoted);
    const QString all = subjects.join('\n');
    for (const char* phrase : {"Undelivered Mail Returned to Sender", "Mail delivery failed",
                               "failure notice", "Returned mail: see transcript for details",
                               "Undeliverable:", "Delivery Status Notification (Failure)"})
        EXPECT_TRUE(all.contains(QLatin1String(phrase))) << phrase;
}

TEST_F(Demo, BouncedContactsCarryTheAddressesInEverySlotAndCase)
{
    QSet<int> slots;
    QSet<QString> cases;
    QSet<QString> carried;
    for (const auto& c : demo::Bounced_Contacts()) {
        auto contact = std::dynamic_pointer_cast<Contact_Item>(
            ns->GetItemFromID(Hex("Contacts/" + c.File.toUtf8()), {}));
        ASSERT_TRUE(contact) << c.File;
        EXPECT_EQ(contact->FullName(), c.Full_Name);
        EXPECT_EQ(contact->Email_Address(c.Slot), c.Address);
        slots.insert(c.Slot);
        cases.insert(c.Address == c.Address.toLower()   ? "lower"
                     : c.Address == c.Address.toUpper() ? "upper"
                                                        : "mixed");
        carried.insert(c.Address.toLower());
    }
    EXPECT_EQ(slots, QSet<int>({1, 2, 3}));
    EXPECT_EQ(cases, QSet<QString>({"lower", "upper", "mixed"}));
    EXPECT_GE(demo::Bounced_Contacts().size(), 8u);
    // Some failed address is carried by no contact at all.
    QSet<QString> failed;
    for (const auto& m : demo::Returned_Messages())
        if (m.Message_Class == "IPM.Note")
            failed += Lower(m.Failed);
    EXPECT_FALSE((failed - carried).isEmpty());
}

TEST_F(Demo, NoOtherContactCarriesAnAddressARunWouldFind)
{
    QSet<QString> found; // every address in the body of a returned IPM.Note message
    for (const auto& m : demo::Returned_Messages())
        if (m.Message_Class == "IPM.Note")
            found += Lower(m.Failed) + Lower(m.Others);
    QSet<QString> listed;
    for (const auto& c : demo::Bounced_Contacts())
        listed.insert(c.File + "/" + QString::number(c.Slot));

    auto items = Folder_At(*ns, "Contacts")->Items();
    int loaded = 0;
    bool ordinaryCarried = false;
    for (int i = 1; i <= items->Count(); ++i) {
        auto contact = std::dynamic_pointer_cast<Contact_Item>(items->Item(i));
        ASSERT_TRUE(contact) << i;
        ++loaded;
        const QString file =
            QString::fromUtf8(QByteArray::fromHex(contact->EntryID().toLatin1())).section('/', 1);
        for (int slot = 1; slot <= 3; ++slot) {
            const QString address = contact->Email_Address(slot).toLower();
            ordinaryCarried |= demo::Ordinary_Mail_Addresses().contains(address);
            if (address == demo::kUser_Address)
                continue; // the user's own card: the no-check list protects it
            EXPECT_EQ(found.contains(address), listed.contains(file + "/" + QString::number(slot)))
                << file << " slot " << slot;
        }
    }
    EXPECT_EQ(loaded, demo::Contact_Count());
    EXPECT_TRUE(ordinaryCarried);
    for (const QString& a : demo::Ordinary_Mail_Addresses())
        EXPECT_FALSE(found.contains(a)) << a;
}

TEST(DemoProfile, NeverWritesOverAnExistingProfile)
{
    Temp_Home home;
    ASSERT_TRUE(Write_Demo_Profile(home.Profile()));
    const QByteArray ini = Read_File(home.Profile() + "/profile.ini");
    QString error;
    EXPECT_FALSE(Write_Demo_Profile(home.Profile(), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(Read_File(home.Profile() + "/profile.ini"), ini);
}
