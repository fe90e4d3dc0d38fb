#include "config/App_State.h"
#include "config/Contact_Folder_List.h"
#include "config/CryptoX.h"
#include "config/Data_Strings.h"
#include "support/File_Size_Limit.h"
#include "support/Qt_Print.h"
#include "support/Recorded_Messages.h"
#include "support/Temp_Home.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace bc;

namespace {

const QString S = kFieldSeparator;

Contact_Folder_Record Record(const QString& name, const QString& path, const QString& entry,
                             const QString& store)
{
    return {name, path, entry, store};
}

QString Enc(const QString& value)
{
    return Encrypt_Data_String(value);
}

bool Same(const Contact_Folder_Record& a, const Contact_Folder_Record& b)
{
    return a.Folder_Name == b.Folder_Name && a.Folder_Path == b.Folder_Path && a.Entry_ID == b.Entry_ID &&
           a.Store_ID == b.Store_ID;
}

class ContactFolderList : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QDir().mkpath(home.Data_Folder());
        App().Data_Folder = home.Data_Folder();
        Folders().Contact_Folder_List.clear();
    }
    void TearDown() override { Folders().Contact_Folder_List.clear(); }
    QString List_File() const { return home.Data_Folder() + kContactFolderFile; }
    void Write(const QByteArray& bytes) const { home.Write(List_File(), bytes); }
    std::vector<Contact_Folder_Record>& List() { return Folders().Contact_Folder_List; }

    test::Temp_Home home;
    test::Recorded_Messages messages;
};

} // namespace

TEST(GetField, ReturnsTheTextBetweenTheNthSeparatorAndTheNext)
{
    test::Recorded_Messages messages;
    EXPECT_EQ(Get_Field(S + "A" + S + "B" + S, 1), QStringLiteral("A"));
    EXPECT_EQ(Get_Field(S + "A" + S + "B" + S, 2), QStringLiteral("B"));
    EXPECT_EQ(Get_Field(S + "A" + S + "B" + S, 3), QString());
    EXPECT_EQ(Get_Field(S + "A" + S + "B", 2), QStringLiteral("B")); // runs to the end
    EXPECT_EQ(Get_Field("X" + S + "A", 1), QStringLiteral("A"));     // never the text before
    EXPECT_EQ(Get_Field(S + "A" + S + "B" + S, 0), QStringLiteral("A"));
    EXPECT_EQ(Get_Field(S + "A" + S + "B" + S, -3), QStringLiteral("A"));
    EXPECT_EQ(Get_Field(S + S + "C" + S, 1), QString());
    EXPECT_EQ(Get_Field(S + S + "C" + S, 2), QStringLiteral("C"));
    EXPECT_EQ(Get_Field(S + "key12" + S, 1), QStringLiteral("key12"));
    EXPECT_EQ(Get_Field(S + "A" + S, 1000000), QString());
    for (int n = 0; n < 4; ++n)
        EXPECT_EQ(Get_Field(QStringLiteral("no separator here"), n), QString());
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST(GetField, OverlappingSeparatorsAreReportedAndGiveNothing)
{
    test::Recorded_Messages messages;
    const QString shared = QStringLiteral("-:::-:::-"); // two separators sharing the middle dash
    EXPECT_EQ(Get_Field(shared, 1), QString());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].startsWith(QStringLiteral("Error: ")));
    EXPECT_GT(messages.shown[0].size(), 7);
    // The second separator still starts a field of its own.
    EXPECT_EQ(Get_Field(shared + "Z", 2), QStringLiteral("Z"));
    EXPECT_EQ(messages.shown.size(), 1);
}

TEST_F(ContactFolderList, SaveWritesOneEncryptedLineEachWithThePathLast)
{
    List() = {Record(QStringLiteral("Müller Kontakte"), QStringLiteral("Personal Folders->Contacts->Müller"),
                     QStringLiteral("436F6E74616374732F4DC3BC6C6C6572"),
                     QStringLiteral("0123456789ABCDEF0123456789ABCDEF")),
              Record(QStringLiteral("Contacts"), QString(), QStringLiteral("436F6E7461637473"), QString())};
    ASSERT_TRUE(Save_Contact_Folder_List());

    const QString first = S + Enc(QStringLiteral("Müller Kontakte")) + S +
                          Enc(QStringLiteral("436F6E74616374732F4DC3BC6C6C6572")) + S +
                          Enc(QStringLiteral("0123456789ABCDEF0123456789ABCDEF")) + S +
                          Enc(QStringLiteral("Personal Folders->Contacts->Müller")) + S;
    const QString second =
        S + Enc(QStringLiteral("Contacts")) + S + Enc(QStringLiteral("436F6E7461637473")) + S + S + S;
    EXPECT_EQ(home.Read(List_File()), (first + "\r\n" + second + "\r\n").toLatin1());
}

TEST_F(ContactFolderList, SavedListLoadsBackInOrderWithDuplicates)
{
    const std::vector<Contact_Folder_Record> records = {
        Record(QStringLiteral("Müller"), QStringLiteral("Personal Folders->Müller"), QStringLiteral("AA"),
               QStringLiteral("BB")),
        Record(QStringLiteral("Contacts"), QStringLiteral("Personal Folders->Contacts"), QStringLiteral("CC"),
               QStringLiteral("DD")),
        Record(QStringLiteral("Müller"), QStringLiteral("Personal Folders->Müller"), QStringLiteral("AA"),
               QStringLiteral("BB")),
        Record(QStringLiteral("No path"), QString(), QString(), QString()),
    };
    List() = records;
    ASSERT_TRUE(Save_Contact_Folder_List());
    List().clear();
    QString error;
    ASSERT_TRUE(Load_Contact_Folder_List(&error));
    ASSERT_EQ(Folders().Contact_Folder_Count(), 4);
    for (std::size_t i = 0; i < records.size(); ++i)
        EXPECT_TRUE(Same(List()[i], records[i])) << "record " << i;
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(ContactFolderList, HandWrittenFilesLoadWithTheirFlaws)
{
    const QString store = QStringLiteral("0123456789ABCDEF0123456789ABCDEF");
    QByteArray file;
    // LF only, no trailing separator: the last field runs to the line end.
    file += (S + Enc(QStringLiteral("Müller")) + S + Enc("E1") + S + Enc(store) + S + Enc("P1")).toLatin1() +
            "\n";
    file += "\r\n";                                                             // blank line
    file += (S + S + S + S + S).toLatin1() + "\r\n";                            // all fields empty
    file += (S + "ZZ" + S + Enc("E2") + S + S + S).toLatin1() + "\r\n";         // damaged name
    file += (S + Enc("Dropped").toLower() + S + S + S + S).toLatin1() + "\r\n"; // lower-case hex
    // Another pass phrase: the name does not decrypt.
    CryptoX other;
    other.Set_Keyword(QStringLiteral("secret"));
    file += (S + other.Encrypt(QStringLiteral("Foreign")) + S + S + S + S).toLatin1() + "\r\n";
    // Damaged later fields become empty texts.
    file +=
        (S + Enc("Partly") + S + "not hex" + S + Enc(store) + S + Enc("P3").left(5) + S).toLatin1() + "\r\n";
    // Only a name, and a last line without a line end.
    file += (S + Enc("Name only")).toLatin1();
    Write(file);

    ASSERT_TRUE(Load_Contact_Folder_List());
    ASSERT_EQ(Folders().Contact_Folder_Count(), 3);
    EXPECT_TRUE(Same(List()[0], Record(QStringLiteral("Müller"), "P1", "E1", store)));
    EXPECT_TRUE(Same(List()[1], Record("Partly", QString(), QString(), store)));
    EXPECT_TRUE(Same(List()[2], Record("Name only", QString(), QString(), QString())));
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(ContactFolderList, LoadAddsToTheListAndAMissingFileAddsNothing)
{
    QString error;
    ASSERT_TRUE(Load_Contact_Folder_List(&error));
    EXPECT_TRUE(List().empty());
    EXPECT_FALSE(QFile::exists(List_File()));

    Write((S + Enc("From file") + S + S + S + S + "\r\n").toLatin1());
    List().push_back(Record("Already there", "", "", ""));
    ASSERT_TRUE(Load_Contact_Folder_List());
    ASSERT_EQ(Folders().Contact_Folder_Count(), 2);
    EXPECT_EQ(List()[0].Folder_Name, QStringLiteral("Already there"));
    EXPECT_EQ(List()[1].Folder_Name, QStringLiteral("From file"));
}

TEST_F(ContactFolderList, AnUnreadableFileIsAnError)
{
    QDir().mkpath(List_File()); // a folder in the file's place
    QString error;
    EXPECT_FALSE(Load_Contact_Folder_List(&error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(List().empty());
}

TEST_F(ContactFolderList, AReadOnlyFileIsReplacedAndAnEmptyListDeletesIt)
{
    List() = {Record("Old", "", "", "")};
    ASSERT_TRUE(Save_Contact_Folder_List());
    QFile::setPermissions(List_File(), QFileDevice::ReadOwner);
    List() = {Record("A", "", "", ""), Record("B", "", "", ""), Record("C", "", "", "")};
    ASSERT_TRUE(Save_Contact_Folder_List());
    List().clear();
    ASSERT_TRUE(Load_Contact_Folder_List());
    ASSERT_EQ(List().size(), 3u);
    EXPECT_EQ(List()[0].Folder_Name, QStringLiteral("A"));

    QFile::setPermissions(List_File(), QFileDevice::ReadOwner);
    List().clear();
    ASSERT_TRUE(Save_Contact_Folder_List());
    EXPECT_FALSE(QFile::exists(List_File()));
    ASSERT_TRUE(Save_Contact_Folder_List()); // nothing left to delete
}

TEST_F(ContactFolderList, AnInterruptedSaveKeepsThePreviousFileWhole)
{
    List() = {Record("Contacts", "Personal Folders->Contacts", "E1", "S1")};
    ASSERT_TRUE(Save_Contact_Folder_List());
    const QByteArray before = home.Read(List_File());

    for (int i = 0; i < 50; ++i)
        List().push_back(Record(QStringLiteral("Folder %1").arg(i), "Personal Folders->Sub", "E", "S"));
    QString error;
    bool saved = true;
    {
        test::File_Size_Limit limit(static_cast<rlim_t>(before.size()) + 100); // runs out part-way
        saved = Save_Contact_Folder_List(&error);
    }
    EXPECT_FALSE(saved);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(home.Read(List_File()), before);
    EXPECT_EQ(QDir(home.Data_Folder()).entryList(QDir::Files),
              QStringList{kContactFolderFile}); // no temp left
}

TEST_F(ContactFolderList, AFileInThePlaceOfTheDataFolderFailsTheSave)
{
    const QString blocker = home.Write(QStringLiteral("data/not-a-folder"), "x");
    App().Data_Folder = blocker + QLatin1Char('/');

    List() = {Record("Contacts", "", "", "")};
    QString error;
    EXPECT_FALSE(Save_Contact_Folder_List(&error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(home.Read(blocker), QByteArray("x"));
    ASSERT_TRUE(Load_Contact_Folder_List()); // no file there: nothing added
    EXPECT_EQ(List().size(), 1u);
}
