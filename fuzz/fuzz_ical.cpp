// A task file as any calendar program or damaged disk may leave it: reading,
// changing and saving must never crash, a task saved reads back with what was
// set, and a file libical could not read whole is never written over.
#include "outlook/Item_File_IO.h"
#include "outlook/Item_Files.h"

#include <QFile>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace bc::outlook;
    static const QString path = [] {
        char name[] = "/tmp/fuzz_ical_XXXXXX";
        return ::mkdtemp(name) ? QString::fromLocal8Bit(name) + QStringLiteral("/task.ics") : QString();
    }();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(bytes);
    }
    auto task = Load_Task_File(path, QStringLiteral("FUZZ"));
    if (!task)
        return 0;
    (void)task->Subject();
    (void)task->Body();
    (void)task->Importance();
    (void)task->StartDate();
    (void)task->Linked_Contact_UIDs();

    const QString body = QString::fromUtf8(bytes.left(100)) + QStringLiteral("\r\nsecond line");
    task->Set_Subject(QStringLiteral("Returned Email"));
    task->Set_Body(body);
    task->Set_Importance(olImportanceHigh);
    try {
        task->Save();
    } catch (const Outlook_Error&) {
        // Refused (lines it could not read): the file must be as it was.
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly) || f.readAll() != bytes)
            __builtin_trap();
        return 0;
    }
    QString expected = Without_Leading_Blanks(Storable_Text(body));
    expected.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    expected.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    auto again = Load_Task_File(path, QStringLiteral("FUZZ"));
    if (!again || again->Subject() != QLatin1String("Returned Email") || again->Body() != expected ||
        again->Importance() != olImportanceHigh)
        __builtin_trap();
    return 0;
}
