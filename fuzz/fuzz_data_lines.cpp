// The lines of the data files ("search_strings.txt", "No_Check_Strings.txt",
// "dbdata-outlook.dat") as any editor or damaged disk may leave them, loaded
// through the program's own loaders: never a crash, and whatever was loaded
// comes back the same after a save and a second load.
#include "config/App_State.h"
#include "config/Contact_Folder_List.h"
#include "config/Identifier_Lists.h"
#include "config/User_Messages.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

using namespace bc;

class Silent_Messages final : public User_Messages
{
public:
    void Show_Message(const QString&) override {}
    bool Ask_Yes_No(const QString&) override { return false; }
};

QTemporaryDir* g_folder = nullptr;
Silent_Messages g_messages;

bool Write(const QString& name, const QByteArray& bytes)
{
    QFile file(Data_File(name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool Same(const std::vector<Contact_Folder_Record>& a, const std::vector<Contact_Folder_Record>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].Folder_Name != b[i].Folder_Name || a[i].Entry_ID != b[i].Entry_ID ||
            a[i].Store_ID != b[i].Store_ID || a[i].Folder_Path != b[i].Folder_Path)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Every input writes files: in memory when there is a place for it.
    g_folder = QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                   ? new QTemporaryDir(QStringLiteral("/dev/shm/brindlecast-fuzz-XXXXXX"))
                   : new QTemporaryDir;
    std::atexit([] { delete g_folder; }); // libFuzzer ends with exit()
    App().Data_Folder = g_folder->path() + QLatin1Char('/');
    Set_Messages(&g_messages);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (!Write(kSearchStringsFile, bytes) || !Write(kNoCheckStringsFile, bytes) ||
        !Write(kContactFolderFile, bytes))
        return 0;

    Setup_Search_Strings();
    const QStringList identifiers = Lists().Search_Strings;
    (void)Contains_Return_Identifier(QStringLiteral("Undeliverable: Mail delivery failed"));
    Lists().No_Check_Strings.clear();
    Setup_No_Check();
    (void)Is_No_Check_String(QStringLiteral("JANE.DOE@EXAMPLE.COM"));
    Folders().Contact_Folder_List.clear();
    if (!Load_Contact_Folder_List())
        __builtin_trap();
    const std::vector<Contact_Folder_Record> records = Folders().Contact_Folder_List;

    // Saved and loaded again, every list is what it was.
    if (!Save_Search_Strings(identifiers))
        __builtin_trap();
    Setup_Search_Strings();
    if (Lists().Search_Strings != identifiers)
        __builtin_trap();
    if (!Save_Contact_Folder_List())
        __builtin_trap();
    Folders().Contact_Folder_List.clear();
    if (!Load_Contact_Folder_List() || !Same(Folders().Contact_Folder_List, records))
        __builtin_trap();
    return 0;
}
