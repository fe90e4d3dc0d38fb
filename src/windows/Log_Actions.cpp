#include "windows/Log_Actions.h"

#include "config/App_State.h"
#include "config/Text_File.h"
#include "config/User_Messages.h"
#include "engine/Processing_Flags.h"
#include "windows/Window_Placement.h"
#include "windows/frmViewLog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPointer>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

namespace bc::windows {
namespace {

// The listing yields after every batch of lines, where closing the viewer
// stops it, and shows what it read at most about 30 times a second.
constexpr int kBatchLines = 1000;
constexpr int kShowMs = 33;

QString Log_File()
{
    return Data_File(QStringLiteral("bouncedemails.log"));
}

QString Without_Line_End(QByteArray line)
{
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    // Windows-1252 and Latin-1 differ only in 0x80-0x9F; most lines have
    // none of those and take the fast way.
    const bool latin1 = std::none_of(line.cbegin(), line.cend(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b >= 0x80 && b <= 0x9F;
    });
    return latin1 ? QString::fromLatin1(line) : From_Cp1252(line);
}

} // namespace

void Clear_Log()
{
    Force_Delete_File(Log_File());
}

void Open_Log(QWidget* parent)
{
    engine::Processing_Flags& flags = engine::Flags();
    flags.Abort_Requested = false;
    const QString path = Log_File();
    if (!QFileInfo::exists(path)) {
        Messages().Show_Message(QStringLiteral(
            "Log file has not yet been activated. Enable log file and run the software to populate."));
        return;
    }

    QPointer<frmViewLog> viewer = &frmViewLog::Instance(parent);
    if (viewer->isVisible())
        viewer->raise();
    else
        Place_Beside(viewer, parent ? parent->window() : nullptr);
    viewer->show();

    // A named pipe or a device in the log's place must not hang the window.
    QString error;
    const int fd = Open_Regular_File(path, O_RDONLY, kMax_Data_File_Size, &error);
    QFile file;
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (fd >= 0)
            ::close(fd);
        Messages().Show_Message(QStringLiteral("Failed listing log. Error: ") +
                                (fd < 0 ? error : file.errorString()));
        return;
    }
    QElapsedTimer shown;
    int inBatch = 0;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine();
        if (file.error() != QFileDevice::NoError) {
            viewer->Show_Lines(); // the viewer keeps what was read
            Messages().Show_Message(QStringLiteral("Failed listing log. Error: ") + file.errorString());
            return;
        }
        viewer->Append_Line(Without_Line_End(line));
        if (++inBatch < kBatchLines)
            continue;
        inBatch = 0;
        if (!shown.isValid() || shown.elapsed() >= kShowMs) {
            viewer->Show_Lines();
            shown.start();
        }
        QCoreApplication::processEvents();
        // The viewer may also be gone while the flag was cleared again by an
        // operation started during the yield: nothing is left to list into.
        if (flags.Abort_Requested || !viewer || viewer != frmViewLog::Loaded())
            return;
    }
    viewer->Show_Lines();
}

} // namespace bc::windows
