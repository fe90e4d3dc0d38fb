// A message file as any sender may make it: the header summary of a listing,
// the full parse, the HTML conversion and the address scan of a run must
// never crash nor hang (libFuzzer's -timeout catches a slow input), and every
// address the scan cuts out holds exactly one '@'.
#include "engine/Recognition.h"
#include "outlook/Mail_Message_Text.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <unistd.h>

namespace {

// The input as a message file, for the header summary that reads files.
QByteArray Scratch_File(const QByteArray& bytes)
{
    static QByteArray path = [] {
        char name[] = "/tmp/fuzz_message_XXXXXX";
        const int fd = ::mkstemp(name);
        if (fd >= 0)
            ::close(fd);
        return QByteArray(name);
    }();
    if (std::FILE* f = std::fopen(path.constData(), "wb")) {
        std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), f);
        std::fclose(f);
    }
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace bc::outlook::mail_text;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    (void)Read_Header_Summary(Scratch_File(bytes));
    const Message_Text text = Parse_Message(bytes);
    (void)Html_To_Text(QString::fromUtf8(bytes));
    const QString& body = text.Body;
    for (qsizetype at = body.indexOf(QLatin1Char('@')); at >= 0;
         at = body.indexOf(QLatin1Char('@'), at + 1)) {
        const QString address = bc::engine::Extract_Email_Address(body, static_cast<int>(at + 1));
        if (address.count(QLatin1Char('@')) != 1)
            __builtin_trap();
    }
    return 0;
}
