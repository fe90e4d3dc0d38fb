// The command line: a request for help or the version only prints, anything
// else runs unattended without a window and without writing the contact folder
// list, and a run that put up a message ends with a failure code.

#include "Main_Window_Support.h"

#include "config/App_State.h"
#include "config/Contact_Folder_List.h"
#include "engine/Run_Lock.h"
#include "windows/Application_Lifecycle.h"
#include "windows/Database_List.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QtTest>

#include <optional>

using namespace bc;
using namespace bc::test;
using bc::windows::Application_Lifecycle;
using bc::windows::Message_Box;
using Mode = Application_Lifecycle::Mode;

namespace {

QString Program()
{
    const QString fromEnv = qEnvironmentVariable("BRINDLECAST_EXE");
    if (!fromEnv.isEmpty())
        return fromEnv;
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../src/app/brindlecast"));
}

QStringList Files_Under(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    return files;
}

struct Result
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs the program on the temporary home without a display.
Result Run_Program(const Temp_Home& home, const QStringList& arguments)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.Config_Home());
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.Data_Home());
    env.insert(QStringLiteral("BRINDLECAST_PROFILE"), home.Profile());
    env.insert(QStringLiteral("HOME"), home.Path() + QStringLiteral("/home"));
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(name));
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(Program(), arguments);
    Result result;
    if (!process.waitForStarted(10000))
        return result;
    // A message box waiting for a click would never end.
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

} // namespace

class Command_Line_Test : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(Program()),
                 qPrintable(QStringLiteral("build the brindlecast target first (or set BRINDLECAST_EXE): ") +
                            Program()));
        windows::Install_Message_Boxes();
    }
    void init() { Message_Box::clearShown(); }
    void cleanup() { Message_Box::setUnattended(false); }

    void arguments_choose_the_mode_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("commandLine");
        QTest::newRow("none") << QStringList() << int(Mode::Interactive) << QString();
        QTest::newRow("empty text") << QStringList({""}) << int(Mode::Interactive) << QString();
        QTest::newRow("help") << QStringList({"--help"}) << int(Mode::Help) << "--help";
        QTest::newRow("version") << QStringList({"--version"}) << int(Mode::Version) << "--version";
        QTest::newRow("-h") << QStringList({"-h"}) << int(Mode::Help) << "-h";
        QTest::newRow("-?") << QStringList({"-?"}) << int(Mode::Help) << "-?";
        QTest::newRow("help word") << QStringList({"help"}) << int(Mode::Help) << "help";
        QTest::newRow("-v") << QStringList({"-v"}) << int(Mode::Version) << "-v";
        QTest::newRow("help wins") << QStringList({"--run", "--help"}) << int(Mode::Help) << "--run --help";
        QTest::newRow("help before version") << QStringList({"-v", "-h"}) << int(Mode::Help) << "-v -h";
        QTest::newRow("dry run") << QStringList({"--dry-run"}) << int(Mode::Preview) << "--dry-run";
        QTest::newRow("report") << QStringList({"--report"}) << int(Mode::Report) << "--report";
        QTest::newRow("undo") << QStringList({"--undo-last-run"}) << int(Mode::Undo) << "--undo-last-run";
        QTest::newRow("changing nothing wins") << QStringList({"--undo-last-run", "--dry-run"})
                                               << int(Mode::Preview) << "--undo-last-run --dry-run";
        QTest::newRow("letter") << QStringList({"x"}) << int(Mode::Unattended) << "x";
        QTest::newRow("two words") << QStringList({"--run", "now"}) << int(Mode::Unattended) << "--run now";
        QTest::newRow("single dash") << QStringList({"-help"}) << int(Mode::Unattended) << "-help";
    }

    void arguments_choose_the_mode()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, mode);
        QFETCH(QString, commandLine);
        const Application_Lifecycle life(arguments);
        QCOMPARE(int(life.Run_Mode()), mode);
        QCOMPARE(life.Command_Line(), commandLine);
    }

    void help_and_version_print_and_touch_nothing_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("expected");
        QTest::newRow("help") << "--help"
                              << "Usage: brindlecast";
        QTest::newRow("version") << "--version"
                                 << "Brindlecast " BRINDLECAST_VERSION;
        // The other spellings choose the same modes (arguments_choose_the_mode).
    }

    void help_and_version_print_and_touch_nothing()
    {
        QFETCH(QString, argument);
        QFETCH(QString, expected);
        Temp_Home home;
        const QStringList before = Files_Under(home.Path());
        const Result result = Run_Program(home, {argument});
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(result.out.startsWith(expected.toUtf8()), result.out.constData());
        QVERIFY2(result.err.isEmpty(), result.err.constData());
        // No settings file, no data folder, no mail profile.
        QCOMPARE(Files_Under(home.Path()), before);
    }

    void a_letter_runs_unattended_without_a_display()
    {
        Temp_Home home;
        Write_Settings(home, {"\"Contact_Action\"=dword:00000000", "\"CreateANote\"=dword:00000001"});
        // A damaged list file loads as no databases; it must come out untouched.
        const QByteArray damaged = "not a record\r\n";
        const QString list = home.Write(QStringLiteral("data/Brindlecast/dbdata-outlook.dat"), damaged);
        const Result result = Run_Program(home, {QStringLiteral("x")});
        // Nothing to process is a failure a cron job must hear of.
        QCOMPARE(result.exitCode, 1);
        // The message box went to standard error instead of waiting for a click.
        QVERIFY2(result.err.contains("No database have been setup!"), result.err.constData());
        QCOMPARE(home.Read(list), damaged);
        // The start-up ran: the delete-contact box was restored, unchecking the note.
        QVERIFY2(home.Read(home.Registry_File()).contains("\"CreateANote\"=dword:00000000"),
                 home.Read(home.Registry_File()).constData());
    }

    void unattended_run_happens_without_a_window_and_saves_no_list()
    {
        Temp_Home home;
        Write_Settings(home, {"\"Contact_Action\"=dword:00000000"});
        Set_Data_Folder();
        Folders().Contact_Folder_List = {{QStringLiteral("Contacts"),
                                          QStringLiteral("\\\\Personal Folders\\Contacts"),
                                          QStringLiteral("436F6E7461637473"), QStringLiteral("00")}};
        QVERIFY(Save_Contact_Folder_List());
        const QString list = home.Data_Folder() + QStringLiteral("dbdata-outlook.dat");
        const QByteArray saved = home.Read(list);
        QVERIFY(!saved.isEmpty());

        Application_Lifecycle life({QStringLiteral("x")});
        QList<bool> runs;
        bool windowShown = true;
        int choicesDelete = -1;
        life.Set_Run_Handler([&](windows::frmMain& window, bool selectedOnly) {
            runs << selectedOnly;
            windowShown = window.isVisible();
            choicesDelete = window.Choices().Contact_Delete();
            QCOMPARE(window.Databases()->topLevelItemCount(), 1);
            // A change during the run is not written back at the end.
            Folders().Contact_Folder_List.push_back(Folders().Contact_Folder_List.front());
        });
        QCOMPARE(life.Run(), 0);
        QCOMPARE(runs, QList<bool>({false}));
        QVERIFY(!windowShown);
        QCOMPARE(choicesDelete, 1);
        QVERIFY(App().Auto_Run);
        QCOMPARE(home.Read(list), saved);
        QVERIFY(Message_Box::shown().isEmpty());
    }

    void unattended_start_up_failure_skips_the_run()
    {
        Temp_Home home;
        Write_Settings(home, {"\"Contact_Action\"=dword:00000001"});
        QVERIFY(QDir().mkpath(home.Data_Folder() + QStringLiteral("dbdata-outlook.dat")));
        Application_Lifecycle life({QStringLiteral("--run")});
        int runs = 0;
        life.Set_Run_Handler([&](windows::frmMain&, bool) { ++runs; });
        QCOMPARE(life.Run(), 1);
        QCOMPARE(runs, 0);
        QCOMPARE(Message_Box::shown().size(), 1);
        QVERIFY(Message_Box::shown().first().startsWith(QStringLiteral("Error: 100034 Problem: ")));
    }

    void unattended_run_refuses_and_changes_nothing_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<bool>("otherRun");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("told");
        const QByteArray head = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Brindlecast]\r\n";
        QTest::newRow("no settings") << QByteArray() << false << 2 << QByteArray("There is no settings file");
        QTest::newRow("no Contact_Action") << head + "\"CreateANote\"=dword:00000001\r\n"
                                           << false << 2 << QByteArray("holds no readable Contact_Action");
        QTest::newRow("damaged Contact_Action")
            << head + "\"Contact_Action\"=dword:1\r\n"
            << false << 2 << QByteArray("holds no readable Contact_Action");
        QTest::newRow("another run") << head + "\"Contact_Action\"=dword:00000001\r\n"
                                     << true << 3 << QByteArray("Another Brindlecast run");
    }

    // A missing or damaged settings file would turn the run into "delete every
    // matching contact"; a second run would race the first over the same
    // contacts. Either refuses before the start-up writes a single setting.
    void unattended_run_refuses_and_changes_nothing()
    {
        QFETCH(QByteArray, settings);
        QFETCH(bool, otherRun);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, told);
        Temp_Home home;
        if (!settings.isEmpty())
            home.Write(QStringLiteral("config/Brindlecast/registry.reg"), settings);
        std::optional<engine::Run_Lock> other;
        if (otherRun) {
            App().Data_Folder = Set_Data_Folder();
            other.emplace();
            QVERIFY(other->Held());
        }
        const QStringList files = Files_Under(home.Path());
        const Result result = Run_Program(home, {QStringLiteral("--run")});
        QCOMPARE(result.exitCode, exitCode);
        QVERIFY2(result.err.contains(told), result.err.constData());
        QCOMPARE(Files_Under(home.Path()), files);
        QCOMPARE(home.Read(home.Registry_File()), settings);
    }
};

QTEST_MAIN(Command_Line_Test)
#include "test_command_line.moc"
