#pragma once
// Runs khard (installed by scripts/setup.sh) on one vCard folder, in a home
// of its own so that the user's files stay out of it.

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace bc::test {

struct Khard_Result
{
    int Exit_Code = -1;
    QString Out;
    QString Err;
};

inline bool Have_Khard()
{
    return !QStandardPaths::findExecutable(QStringLiteral("khard")).isEmpty();
}

inline Khard_Result Run_Khard(const QString& home, const QString& folder, const QStringList& arguments)
{
    Khard_Result result;
    QFile config(home + QStringLiteral("/khard.conf"));
    if (!config.open(QIODevice::WriteOnly))
        return result;
    config.write("[addressbooks]\n[[book]]\npath = " + folder.toUtf8() +
                 "\n[general]\neditor = /bin/true\nmerge_editor = /bin/true\n");
    config.close();
    QProcess khard;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("HOME"), home);
    khard.setProcessEnvironment(env);
    khard.start(QStandardPaths::findExecutable(QStringLiteral("khard")),
                QStringList{QStringLiteral("-c"), config.fileName()} + arguments);
    khard.closeWriteChannel(); // a question would get end of input, never hang
    if (!khard.waitForFinished(120000))
        khard.kill();
    result.Exit_Code = khard.exitStatus() == QProcess::NormalExit ? khard.exitCode() : -1;
    result.Out = QString::fromUtf8(khard.readAllStandardOutput());
    result.Err = QString::fromUtf8(khard.readAllStandardError());
    return result;
}

} // namespace bc::test
