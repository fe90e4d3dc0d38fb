#include "config/App_State.h"

#include "config/Registry_Routines.h"

#include <QDir>

namespace bc {

App_State& App()
{
    static App_State state;
    return state;
}

QString Set_Data_Folder()
{
    QString folder = Get_Setting(HomeDir);
    if (folder.trimmed().isEmpty()) {
        // The program's own folder is not writable once installed.
        QString base = qEnvironmentVariable("XDG_DATA_HOME");
        if (base.isEmpty() || QDir::isRelativePath(base))
            base = QDir::homePath() + QStringLiteral("/.local/share");
        folder = base + QStringLiteral("/Brindlecast/");
    }
    if (!folder.endsWith(u'/'))
        folder += u'/';
    // Failure shows later, when a data file cannot be written, with that
    // file's own message.
    QDir().mkpath(folder);
    App().Data_Folder = folder;
    return folder;
}

QString Data_File(const QString& fileName)
{
    return App().Data_Folder + fileName;
}

} // namespace bc
