// The session: starting on a profile (creating a missing one), the profile
// file, the current user, folder paths and the hex form of entry ids.

#include "outlook/Outlook_Session.h"
#include "outlook/Profile.h"
#include "support/Fake_Folder.h"
#include "support/File_Size_Limit.h"
#include "test_profile_support.h"

#include <QRegularExpression>

#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

using namespace bc::outlook;
using namespace bc::test;

namespace {

QString Ini_Value(const QString& ini, const QString& key)
{
    const QRegularExpression re(QStringLiteral("^%1=(.*)$").arg(key), QRegularExpression::MultilineOption);
    return re.match(ini).captured(1).trimmed();
}

} // namespace

TEST(Session, StartCreatesAMissingProfileAndFailsOnlyWhenItCannot)
{
    Temp_Home home;
    ASSERT_FALSE(QFileInfo::exists(home.Profile()));
    auto ns = Open_Session();
    ASSERT_TRUE(ns);
    ASSERT_TRUE(Session().Outlook_Application);

    const QString ini = QString::fromUtf8(Read_File(home.Profile() + "/profile.ini"));
    EXPECT_TRUE(ini.contains("[Store 1]"));
    EXPECT_TRUE(ini.contains("[Store 1]\nName=Personal Folders\nPath=Personal Folders\nId=")) << ini;
    const QString id = Ini_Value(ini, "Id");
    EXPECT_TRUE(QRegularExpression("^[0-9A-F]{32}$").match(id).hasMatch()) << id.toStdString();

    auto stores = ns->Stores();
    ASSERT_EQ(stores.size(), 1u);
    EXPECT_EQ(stores[0]->Name(), "Personal Folders");
    EXPECT_EQ(stores[0]->StoreID(), id);
    EXPECT_EQ(stores[0]->Parent(), nullptr);
    EXPECT_FALSE(stores[0]->EntryID().isEmpty());

    QStringList names;
    for (auto& f : stores[0]->Folders())
        names << f->Name() + "=" + f->DefaultMessageClass();
    EXPECT_EQ(names, QStringList({"Contacts=IPM.Contact", "Deleted Items=IPM.Note", "Inbox=IPM.Note",
                                  "Tasks=IPM.Task"}));
    EXPECT_TRUE(QFileInfo(Personal_Folders(home) + "/Inbox/cur").isDir());

    // Attaching again keeps the store's identity.
    ASSERT_TRUE(Start_Outlook());
    EXPECT_EQ(Session().Outlook_Namespace->Stores()[0]->StoreID(), id);

    // A profile folder below a plain file can be neither read nor created:
    // only then does the start fail, and the session stays as it was.
    Recorded_Messages messages;
    auto before = Session().Outlook_Namespace;
    Write_File(home.Path() + "/blocker", "x");
    qputenv("BRINDLECAST_PROFILE", (home.Path() + "/blocker/profile").toLocal8Bit());
    EXPECT_FALSE(Start_Outlook());
    EXPECT_EQ(messages.shown, QStringList{"Failed to create Outlook Application!"});
    EXPECT_EQ(Session().Outlook_Namespace, before);

    // Without its variable the profile lives in the user's data folder.
    qunsetenv("BRINDLECAST_PROFILE");
    EXPECT_EQ(Profile_Folder(), home.Data_Home() + "/Brindlecast/Profile");
}

TEST(Session, CurrentUserComesFromTheProfile)
{
    Temp_Home home;
    ASSERT_TRUE(Set_Profile_User(home.Profile(), "Jane Doe", "jane.doe@example.com"));
    auto ns = Open_Session();
    auto user = ns->CurrentUser();
    EXPECT_EQ(user->Name(), "Jane Doe");
    EXPECT_EQ(user->Address(), "jane.doe@example.com");
    EXPECT_TRUE(user->Resolve());

    ASSERT_TRUE(Set_Profile_User(home.Profile(), "Nobody", ""));
    ns = Open_Session();
    EXPECT_FALSE(ns->CurrentUser()->Resolve());
    // Setting the user kept the store and its identity.
    EXPECT_EQ(ns->Stores().size(), 1u);
}

TEST(Session, StoresGetLastingIdsAndAbsolutePaths)
{
    Temp_Home home;
    Make_Maildir(home.Path() + "/Mail/INBOX");
    Write_File(home.Profile() + "/profile.ini", "; written by hand\n"
                                                "[User]\nName=Jane\nAddress=jane@example.com\n\n"
                                                "[Store 2]\nName=Work\nPath=" +
                                                    (home.Path() + "/Mail").toUtf8() +
                                                    "\n\n[Store 1]\nName=Local\nPath=Local\nId=bad\n\n"
                                                    "[Store 3]\nName=Copy\nPath=Copy\n");
    auto ns = Open_Session();
    auto stores = ns->Stores();
    ASSERT_EQ(stores.size(), 3u);
    EXPECT_EQ(stores[0]->Name(), "Local"); // Store 1 is the default store
    EXPECT_EQ(stores[1]->Name(), "Work");
    ASSERT_EQ(stores[1]->Folders().size(), 1u);
    EXPECT_EQ(stores[1]->Folders()[0]->Name(), "INBOX");

    QStringList ids;
    for (auto& s : stores)
        ids << s->StoreID();
    EXPECT_EQ(ids.removeDuplicates(), 0);
    const QString ini = QString::fromUtf8(Read_File(home.Profile() + "/profile.ini"));
    EXPECT_TRUE(ini.startsWith("; written by hand\n"));
    for (const QString& id : ids)
        EXPECT_TRUE(ini.contains("Id=" + id)) << id.toStdString();

    // Written once: the next start finds the same ids.
    auto again = Open_Session()->Stores();
    for (std::size_t i = 0; i < again.size(); ++i)
        EXPECT_EQ(again[i]->StoreID(), ids[qsizetype(i)]);
}

namespace {

QStringList Store_Ids(const std::shared_ptr<const Profile_Data>& profile)
{
    QStringList ids;
    if (profile)
        for (const Profile_Store& store : profile->Stores)
            ids << store.Id;
    return ids;
}

} // namespace

// A profile.ini that cannot be written (the size limit stops every write,
// for root too) gives the same Ids at every start; they are written as soon
// as it can be written.
TEST(Session, StoreIdsStayTheSameWhenProfileIniCannotBeWritten)
{
    Temp_Home home;
    const QString ini = home.Profile() + "/profile.ini";
    const QByteArray text = "[Store 1]\nName=Local\nPath=Local\n\n[Store 2]\nName=Work\nPath=Work\nId=bad\n";
    Write_File(ini, text);
    QStringList first, second;
    {
        File_Size_Limit limit(16);
        first = Store_Ids(Open_Profile(home.Profile()));
        second = Store_Ids(Open_Profile(home.Profile()));
    }
    ASSERT_EQ(first.size(), 2);
    EXPECT_NE(first[0], first[1]);
    EXPECT_EQ(second, first);
    EXPECT_EQ(Read_File(ini), text);

    EXPECT_EQ(Store_Ids(Open_Profile(home.Profile())), first);
    const QString written = QString::fromUtf8(Read_File(ini));
    EXPECT_TRUE(written.contains("Path=Local\nId=" + first[0] + "\n")) << written;
    EXPECT_TRUE(written.contains("Id=" + first[1] + "\n")) << written;
}

// Another tool wrote profile.ini in Latin-1: the names read as written, the
// store is found by its directory's bytes, and adding the missing Id changes
// no other byte.
TEST(Session, ALatin1ProfileKeepsItsBytesWhenAnIdIsAdded)
{
    Temp_Home home;
    const QByteArray root = QFile::encodeName(home.Profile()) + "/Pers\xF6nlich";
    ASSERT_TRUE(QDir().mkpath(home.Profile()));
    ASSERT_EQ(::mkdir(root.constData(), 0700), 0);
    const QByteArray text = "; Gr\xFC\xDF"
                            "e\r\n[User]\r\nName=J\xF6rg M\xFCller\r\nAddress=joerg@example.de\r\n\r\n"
                            "[Store 1]\r\nName=Pers\xF6nliche Ordner\r\nPath=Pers\xF6nlich\r\n";
    const QString ini = Write_File(home.Profile() + "/profile.ini", text);
    auto profile = Open_Profile(home.Profile());
    ASSERT_TRUE(profile);
    EXPECT_EQ(profile->User_Name, QStringLiteral("Jörg Müller"));
    ASSERT_EQ(profile->Stores.size(), 1u);
    EXPECT_EQ(profile->Stores[0].Name, QStringLiteral("Persönliche Ordner"));
    char resolved[PATH_MAX];
    ASSERT_TRUE(::realpath(root.constData(), resolved));
    EXPECT_EQ(profile->Stores[0].Root, QByteArray(resolved));
    EXPECT_EQ(Read_File(ini), text + "Id=" + profile->Stores[0].Id.toLatin1() + "\r\n");
    ::rmdir(root.constData()); // a name the temporary folder's clean-up cannot spell
}

TEST(Session, AStoreAddedLaterIsFoundByItsId)
{
    Temp_Home home;
    ASSERT_TRUE(Start_Outlook());
    Make_Maildir(home.Path() + "/Archive/2023");
    QString id;
    ASSERT_TRUE(Add_Profile_Store(home.Profile(), "Archive", home.Path() + "/Archive", &id));
    auto ns = Open_Session();
    auto folder = ns->GetFolderFromID(Hex("2023"), id);
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->StoreID(), id);
    EXPECT_EQ(Get_Folder_Path(*folder), "Archive");
    // The same path in the default store is another folder (there: none).
    EXPECT_EQ(ns->GetFolderFromID(Hex("2023"), Default_Store_Id(*ns)), nullptr);
}

TEST(EntryIdToHex, TwoUpperCaseDigitsPerByte)
{
    EXPECT_EQ(Entry_ID_To_Hex(QByteArray("\x00\x0a\xff", 3)), "000AFF");
    EXPECT_EQ(Entry_ID_To_Hex(QByteArray()), "");
    EXPECT_EQ(Entry_ID_To_Hex("Inbox"), "496E626F78");
}

TEST(GetFolderPath, NamesTheFoldersAboveFromTheTopDown)
{
    Temp_Home home;
    auto ns = Open_Session();
    QDir().mkpath(Personal_Folders(home) + "/Contacts/Friends/Close");
    auto contacts = Folder_At(*ns, "Contacts");
    auto friends = Folder_At(*ns, "Contacts/Friends");
    auto close = Folder_At(*ns, "Contacts/Friends/Close");
    ASSERT_TRUE(contacts && friends && close);
    EXPECT_EQ(Get_Folder_Path(*contacts), "Personal Folders");
    EXPECT_EQ(Get_Folder_Path(*friends), "Personal Folders->Contacts");
    EXPECT_EQ(Get_Folder_Path(*close), "Personal Folders->Contacts->Friends");
    EXPECT_EQ(Get_Folder_Path(*ns->Stores()[0]), "");
}

TEST(GetFolderPath, AFailureIsShownAndThePathSoFarReturned)
{
    Recorded_Messages messages;
    auto middle = std::make_shared<Fake_Folder>("Middle");
    middle->parent = std::make_shared<Fake_Folder>("Top");
    middle->parentFails = true;
    middle->failure = "The folder was removed.";
    Fake_Folder leaf("Leaf");
    leaf.parent = middle;
    EXPECT_EQ(Get_Folder_Path(leaf), "Middle");
    EXPECT_EQ(messages.shown, QStringList{"Error Scanning Contact Folder Path. The folder was removed."});
}
