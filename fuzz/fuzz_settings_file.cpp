// The settings file as any program or damaged disk may leave it, in REGEDIT4
// or as a regedit 5 export in UTF-16: parsing, looking up, changing and
// writing back must never crash, a value just set must read back, values
// already there must keep theirs (no two lines ever run together), and the
// store's own read path (the file on disk, parsed once) must agree.
#include "config/Registry_File_Format.h"
#include "config/Registry_Routines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

using namespace bc::reg;

const QString kSection = QStringLiteral("HKEY_CURRENT_USER\\Software\\Brindlecast");
const QString kKept[] = {QStringLiteral("Contact_Action"), QStringLiteral("Log_Enabled"),
                         QStringLiteral("ToDo_Regarding"), QStringLiteral("CreateANote")};

void Check(const QByteArray& bytes)
{
    Reg_Document document = Reg_Document::Parse(bytes);
    std::optional<Stored_Value> before[std::size(kKept)];
    for (std::size_t i = 0; i < std::size(kKept); ++i)
        before[i] = document.Find(kSection, kKept[i]);

    document.Set(kSection, QStringLiteral("ToDo_Priority"), Stored_Value::Text(QStringLiteral("Hoch\nzwei")));
    document.Set(kSection, QStringLiteral("Email_What_To_Do"), Stored_Value::Dword(3));
    const Reg_Document again = Reg_Document::Parse(document.Serialize());
    if (again.Find(kSection, QStringLiteral("ToDo_Priority")) !=
            Stored_Value::Text(QStringLiteral("Hoch\nzwei")) ||
        again.Find(kSection, QStringLiteral("Email_What_To_Do")) != Stored_Value::Dword(3))
        __builtin_trap();
    for (std::size_t i = 0; i < std::size(kKept); ++i)
        if (again.Find(kSection, kKept[i]) != before[i])
            __builtin_trap();
}

QByteArray As_Utf16_Export(const QByteArray& bytes)
{
    QByteArray out = "\xFF\xFE";
    for (char c : bytes)
        out += QByteArray(1, c) + QByteArray(1, '\0'); // each byte as a Latin-1 character
    return out;
}

QTemporaryDir* g_home = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Every input writes files: in memory when there is a place for it.
    g_home = QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                 ? new QTemporaryDir(QStringLiteral("/dev/shm/brindlecast-fuzz-XXXXXX"))
                 : new QTemporaryDir;
    std::atexit([] { delete g_home; }); // libFuzzer ends with exit()
    qputenv("XDG_CONFIG_HOME", g_home->path().toLocal8Bit());
    QDir().mkpath(g_home->path() + QStringLiteral("/Brindlecast"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    Check(bytes);
    Check(As_Utf16_Export(bytes));

    // The same bytes as the settings file on disk.
    {
        QFile file(bc::Registry_File());
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return 0;
    }
    const Reg_Document document = Reg_Document::Parse(bytes);
    const auto action = document.Find(kSection, QStringLiteral("Contact_Action"));
    const bool readable =
        action && (action->type == kRegSz || (action->type == kRegDword && action->data.size() == 4));
    if (bc::Setting_Stored(bc::Contact_Action) != readable)
        __builtin_trap();
    const QString before = bc::Get_Setting(bc::Contact_Action);
    bc::Save_Setting(bc::ToDo_Regarding, QStringLiteral("Returned Email"));
    if (bc::Get_Setting(bc::Contact_Action) != before)
        __builtin_trap();
    if (document.Rewritable() && bc::Get_Setting(bc::ToDo_Regarding) != QStringLiteral("Returned Email"))
        __builtin_trap();
    return 0;
}
