// The settings file as any program or damaged disk may leave it: parsing,
// looking up, changing and writing back must never crash, and a value just
// set must read back.
#include "config/Registry_File_Format.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace bc::reg;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    Reg_Document document = Reg_Document::Parse(bytes);
    const QString section = QStringLiteral("HKEY_CURRENT_USER\\Software\\Brindlecast");
    (void)document.Find(section, QStringLiteral("Contact_Action"));
    document.Set(section, QStringLiteral("Contact_Action"), Stored_Value::Dword(1));
    const Reg_Document again = Reg_Document::Parse(document.Serialize());
    const auto value = again.Find(section, QStringLiteral("Contact_Action"));
    if (!value || !(*value == Stored_Value::Dword(1)))
        __builtin_trap();
    return 0;
}
