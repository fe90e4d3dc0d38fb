// Where the data files live: the suite's HomeDir when another program set
// it, else the user's data folder; created on start-up when missing.

#include "config/App_State.h"
#include "config/Registry_Routines.h"
#include "support/Temp_Home.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace bc;

namespace {

// Points HOME (and one more variable) elsewhere for one test.
class Scoped_Env
{
public:
    Scoped_Env(const char* name, const QByteArray& value) : name_(name)
    {
        had_ = qEnvironmentVariableIsSet(name);
        old_ = qgetenv(name);
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~Scoped_Env()
    {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }
    Scoped_Env(const Scoped_Env&) = delete;
    Scoped_Env& operator=(const Scoped_Env&) = delete;

private:
    const char* name_;
    bool had_ = false;
    QByteArray old_;
};

void Set_Home_Dir(const QString& folder)
{
    Write_Registry_Value(HKEY_CURRENT_USER, kSuiteKey, QStringLiteral("HomeDir"), folder);
}

} // namespace

TEST(DataFolder, WithoutHomeDirTheUsersDataFolderIsCreated)
{
    test::Temp_Home home;
    ASSERT_FALSE(QFileInfo::exists(home.Data_Folder()));

    EXPECT_EQ(Set_Data_Folder(), home.Data_Folder());
    EXPECT_EQ(App().Data_Folder, home.Data_Folder());
    EXPECT_TRUE(QFileInfo(home.Data_Folder()).isDir());
    EXPECT_EQ(Data_File(QStringLiteral("dbdata-outlook.dat")), home.Data_Folder() + "dbdata-outlook.dat");

    // An empty HomeDir, as a cleared one is stored, counts as none.
    Set_Home_Dir(QString());
    EXPECT_EQ(Set_Data_Folder(), home.Data_Folder());
}

TEST(DataFolder, FallsBackToTheHomeFolderWhenTheDataVariableIsUnsetOrRelative)
{
    test::Temp_Home home;
    const QString fakeHome = home.Path() + QStringLiteral("/user");
    Scoped_Env homeVar("HOME", fakeHome.toLocal8Bit());
    const QString expected = fakeHome + QStringLiteral("/.local/share/Brindlecast/");
    {
        Scoped_Env data("XDG_DATA_HOME", QByteArray());
        EXPECT_EQ(Set_Data_Folder(), expected);
        EXPECT_TRUE(QFileInfo(expected).isDir());
    }
    {
        Scoped_Env data("XDG_DATA_HOME", "relative/data");
        EXPECT_EQ(Set_Data_Folder(), expected);
    }
    {
        Scoped_Env config("XDG_CONFIG_HOME", QByteArray());
        EXPECT_EQ(Registry_File(), fakeHome + QStringLiteral("/.config/Brindlecast/registry.reg"));
    }
}

TEST(DataFolder, HomeDirIsUsedWithOneTrailingSlash)
{
    test::Temp_Home home;
    const QString shared = home.Path() + QStringLiteral("/suite data");

    Set_Home_Dir(shared);
    EXPECT_EQ(Set_Data_Folder(), shared + u'/');
    EXPECT_TRUE(QFileInfo(shared).isDir());
    EXPECT_EQ(Data_File(QStringLiteral("search_strings.txt")),
              shared + QStringLiteral("/search_strings.txt"));
    EXPECT_FALSE(QFileInfo::exists(home.Data_Folder())); // the default stays untouched

    Set_Home_Dir(shared + u'/');
    EXPECT_EQ(Set_Data_Folder(), shared + u'/');
    EXPECT_EQ(App().Data_Folder, shared + u'/');
}
