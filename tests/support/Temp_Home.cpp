#include "support/Temp_Home.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace bc::test {
namespace {
const QByteArray kVars[] = {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "BRINDLECAST_PROFILE"};
}

Temp_Home::Temp_Home()
{
    for (const QByteArray& v : kVars) {
        had_[v] = qEnvironmentVariableIsSet(v.constData());
        saved_[v] = qgetenv(v.constData());
    }
    qputenv("XDG_CONFIG_HOME", Config_Home().toLocal8Bit());
    qputenv("XDG_DATA_HOME", Data_Home().toLocal8Bit());
    qputenv("BRINDLECAST_PROFILE", Profile().toLocal8Bit());
    QDir().mkpath(Config_Home());
    QDir().mkpath(Data_Home());
}

Temp_Home::~Temp_Home()
{
    for (const QByteArray& v : kVars) {
        if (had_[v])
            qputenv(v.constData(), saved_[v]);
        else
            qunsetenv(v.constData());
    }
}

QString Temp_Home::Config_Home() const
{
    return dir_.path() + QStringLiteral("/config");
}
QString Temp_Home::Data_Home() const
{
    return dir_.path() + QStringLiteral("/data");
}
QString Temp_Home::Profile() const
{
    return dir_.path() + QStringLiteral("/profile");
}
QString Temp_Home::Registry_File() const
{
    return Config_Home() + QStringLiteral("/Brindlecast/registry.reg");
}
QString Temp_Home::Data_Folder() const
{
    return Data_Home() + QStringLiteral("/Brindlecast/");
}

QString Temp_Home::Write(const QString& relativePath, const QByteArray& content) const
{
    const QString path = QDir(dir_.path()).filePath(relativePath);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(content);
    return path;
}

QByteArray Temp_Home::Read(const QString& path) const
{
    return Read_File(path);
}

QByteArray Read_File(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::map<QString, QByteArray> Files_Below(const QString& root)
{
    std::map<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files[QDir(root).relativeFilePath(path)] = Read_File(path);
    }
    return files;
}

QString Testdata_Dir()
{
    return QStringLiteral(BC_TESTDATA_DIR);
}

} // namespace bc::test
