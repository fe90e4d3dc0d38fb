// Leaving, deleting and moving returned messages, and the manual scan
// window's list.

#include "Engine_Test_Profile.h"
#include "engine/Disposal.h"

#include <gtest/gtest.h>

#include <map>

using namespace bc;
using namespace bc::engine;

namespace {

class Fake_Manual_List : public Selective_Conversion_View
{
public:
    bool Remove_Row(const QString& key) override { return keys.removeOne(key); }
    void Clear_Selected_Row() override { selected = -1; }
    int Row_Count() const override { return static_cast<int>(keys.size()); }
    void Set_Status(const QString& text) override { status = text; }
    QStringList keys;
    int selected = 0;
    QString status;
};

class Disposal : public ::testing::Test
{
protected:
    void SetUp() override
    {
        first = profile.Add_Message(QStringLiteral("Undeliverable"), QStringLiteral("a@x.org b@x.org"));
        second = profile.Add_Message(QStringLiteral("Undeliverable"), QStringLiteral("c@x.org"));
        profile.Scan_Inbox();
        profile.Add_Mail_Folder(QStringLiteral("Bounced"));
    }

    std::shared_ptr<outlook::Mapi_Folder> Folder(const QString& path)
    {
        return outlook::Session().Outlook_Namespace->GetFolderFromID(outlook::Entry_ID_To_Hex(path.toUtf8()),
                                                                     profile.storeId);
    }

    // The unique names of the messages in a Maildir.
    QStringList Messages_In(const QString& folder) const
    {
        QStringList out;
        for (const QString& file : profile.Files(folder))
            out << file.section(QLatin1Char(':'), 0, 0);
        out.sort();
        return out;
    }

    test::Engine_Profile profile;
    QString first;
    QString second;
};

} // namespace

TEST_F(Disposal, ChoicesUpToOneLeaveTheMessage)
{
    State().Destination_Folder = Folder(QStringLiteral("Bounced"));
    for (const QString& choice :
         {QStringLiteral("1"), QStringLiteral(""), QStringLiteral("0"), QStringLiteral("x3")})
        Post_Email_Action(0, choice, kRunCallerTag);
    EXPECT_EQ(Messages_In(QStringLiteral("Inbox")), QStringList({first, second}));
    EXPECT_TRUE(profile.messages.shown.isEmpty());
}

TEST_F(Disposal, DeleteMovesToDeletedItemsOnceAndRepeatsFindNothing)
{
    State().Destination_Folder =
        outlook::Session().Outlook_Namespace->GetDefaultFolder(outlook::olFolderDeletedItems);
    ASSERT_TRUE(State().Destination_Folder);
    // Row 0 has two records (two new addresses): the second call finds it gone.
    Post_Email_Action(0, QStringLiteral("2"), kRunCallerTag);
    Post_Email_Action(0, QStringLiteral("2"), kRunCallerTag);
    EXPECT_EQ(Messages_In(QStringLiteral("Inbox")), QStringList({second}));
    EXPECT_EQ(Messages_In(QStringLiteral("Deleted Items")), QStringList({first}));
    EXPECT_TRUE(profile.messages.shown.isEmpty());
}

TEST_F(Disposal, NoDestinationOrAGoneRowLeavesEverythingSilently)
{
    State().Destination_Folder.reset();
    Post_Email_Action(0, QStringLiteral("3"), kRunCallerTag);
    Post_Email_Action(7, QStringLiteral("3"), kRunCallerTag);
    Post_Email_Action(-1, QStringLiteral("2"), kRunCallerTag);
    EXPECT_EQ(Messages_In(QStringLiteral("Inbox")), QStringList({first, second}));
    EXPECT_TRUE(profile.messages.shown.isEmpty());
}

TEST_F(Disposal, ManualScanListLosesTheRowsOfDisposedMessages)
{
    Fake_Manual_List list;
    list.keys = QStringList({Message_Row_Key(0), Message_Row_Key(1), Message_Row_Key(2)});
    Set_Selective_Conversion_View(&list);
    State().Destination_Folder = Folder(QStringLiteral("Bounced"));

    Post_Email_Action(1, QStringLiteral("3"), kSelectiveConversionTag);
    EXPECT_EQ(list.keys, QStringList({"-:::-0-:::-", "-:::-2-:::-"}));
    EXPECT_EQ(list.selected, -1);
    EXPECT_EQ(list.status, "2");

    // Already moved: nothing happens to the list either.
    list.selected = 5;
    Post_Email_Action(1, QStringLiteral("3"), kSelectiveConversionTag);
    EXPECT_EQ(list.keys.size(), 2);
    EXPECT_EQ(list.selected, 5);
    // Leaving the message leaves its row too.
    Post_Email_Action(0, QStringLiteral("1"), kSelectiveConversionTag);
    EXPECT_EQ(list.keys.size(), 2);
    EXPECT_TRUE(profile.messages.shown.isEmpty());
}

TEST_F(Disposal, ARowMissingFromTheManualListIsReportedAndTheRestStillDone)
{
    Fake_Manual_List list;
    list.keys = QStringList({Message_Row_Key(1)});
    Set_Selective_Conversion_View(&list);
    State().Destination_Folder = Folder(QStringLiteral("Bounced"));

    Post_Email_Action(0, QStringLiteral("3"), kSelectiveConversionTag);
    EXPECT_EQ(profile.messages.shown,
              QStringList({QStringLiteral("Error on Take Action On Invalid Emails. Element not found")}));
    EXPECT_EQ(Messages_In(QStringLiteral("Bounced")), QStringList({first}));
    EXPECT_EQ(list.selected, -1);
    EXPECT_EQ(list.status, "1");

    // The window closed meanwhile: the message still moves.
    Set_Selective_Conversion_View(nullptr);
    Post_Email_Action(1, QStringLiteral("3"), kSelectiveConversionTag);
    EXPECT_EQ(profile.messages.shown.size(), 2);
    EXPECT_EQ(Messages_In(QStringLiteral("Bounced")), QStringList({first, second}));
}
