#pragma once
// A throw-away home for one test: XDG_CONFIG_HOME, XDG_DATA_HOME and
// BRINDLECAST_PROFILE point into a fresh temporary folder for the object's
// lifetime, so the settings file, the data folder and the mail profile are
// real files that vanish afterwards.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <map>

namespace bc::test {

class Temp_Home
{
public:
    Temp_Home();
    ~Temp_Home();
    Temp_Home(const Temp_Home&) = delete;
    Temp_Home& operator=(const Temp_Home&) = delete;

    QString Path() const { return dir_.path(); }
    QString Config_Home() const;   // <tmp>/config
    QString Data_Home() const;     // <tmp>/data
    QString Profile() const;       // <tmp>/profile
    QString Registry_File() const; // <tmp>/config/Brindlecast/registry.reg
    QString Data_Folder() const;   // <tmp>/data/Brindlecast/

    // Writes a text file (creating folders); returns its path.
    QString Write(const QString& relativePath, const QByteArray& content) const;
    QByteArray Read(const QString& path) const;

private:
    QTemporaryDir dir_;
    std::map<QByteArray, QByteArray> saved_;
    std::map<QByteArray, bool> had_;
};

QString Testdata_Dir(); // the shared sample messages and vectors

QByteArray Read_File(const QString& path); // empty when it cannot be read

// Every file below `root` (hidden ones too) by its relative path.
std::map<QString, QByteArray> Files_Below(const QString& root);

} // namespace bc::test
