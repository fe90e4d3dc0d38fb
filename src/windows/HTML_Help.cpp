#include "windows/HTML_Help.h"

#include "windows/Build_Config.h"
#include "windows/Message_Box.h"
#include "windows/frmHelpBrowser.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace bc::windows {
namespace {

QString g_application_help_file;
QString g_test_built_in;
QString g_test_program_folder;

QString Built_In_Path()
{
    return g_test_built_in.isEmpty() ? QStringLiteral(BC_HELP_FILE_PATH) : g_test_built_in;
}

QString Program_Folder()
{
    return g_test_program_folder.isEmpty() ? QCoreApplication::applicationDirPath() : g_test_program_folder;
}

// A folder of that name, or a blank path that would name a file in the
// current folder, is not a manual.
bool Is_Help_File(const QString& path)
{
    return !path.trimmed().isEmpty() && QFileInfo(path).isFile();
}

} // namespace

void HTML_Help::Set_Help_File(QWidget* window)
{
    const QString builtIn = Built_In_Path();
    QString chosen;
    if (Is_Help_File(builtIn)) {
        chosen = builtIn;
    } else {
        const QString beside = QDir(Program_Folder()).filePath(QFileInfo(builtIn).fileName());
        if (Is_Help_File(beside))
            chosen = beside;
    }
    g_application_help_file = chosen;
    Help_File_ = chosen;
    Caller_Window_ = window;
}

void HTML_Help::Show_Help() const
{
    if (Help_File_.trimmed().isEmpty()) {
        Message_Box::Show_Stop(QStringLiteral("Help file not found."));
        return;
    }
    // Removed or made unreadable since the start.
    QFile file(Help_File_);
    if (!QFileInfo(Help_File_).isFile() || !file.open(QIODevice::ReadOnly)) {
        Message_Box::Show_Stop(QStringLiteral("Help file ") + Help_File_ +
                               QStringLiteral(" could not be opened"));
        return;
    }
    file.close();
    frmHelpBrowser::Show_Page(Caller_Window_, QUrl::fromLocalFile(QFileInfo(Help_File_).absoluteFilePath()));
}

QString HTML_Help::Application_Help_File()
{
    return g_application_help_file;
}

void HTML_Help::setLocationsForTest(const QString& builtInPath, const QString& programFolder)
{
    g_test_built_in = builtInPath;
    g_test_program_folder = programFolder;
}

QUrl Help_Page_Address(const QString& address)
{
    const QUrl url(address);
    if (!url.scheme().isEmpty())
        return url;
    const QString helpFile = HTML_Help::Application_Help_File();
    if (helpFile.trimmed().isEmpty())
        return QUrl();
    return QUrl::fromLocalFile(QFileInfo(helpFile).absoluteFilePath()).resolved(url);
}

} // namespace bc::windows
