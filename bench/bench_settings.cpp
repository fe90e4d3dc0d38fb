// Cost of the settings store: every check box click and keystroke saves one
// value, and start-up reads all of them. Measured on a file holding only the
// program's values, then on one grown by other programs' values.
// Run: bench_settings [size of the grown file in MB, default 50]

#include "config/Registry_Routines.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

using namespace bc;

namespace {

const Setting kAll[] = {HomeDir,
                        Contact_Action,
                        Contact_Field_To_Set,
                        Contact_Value_To_Set,
                        Log_Enabled,
                        Clear_Email_Address,
                        Email_What_To_Do,
                        Email_Inbox_Folder,
                        Email_Inbox_Entry_ID,
                        Email_Inbox_StoreID,
                        Email_Destination_Folder,
                        Email_Destination_EntryID,
                        Email_Destination_StoreID,
                        ToDo_Status,
                        ToDo_Regarding,
                        ToDo_Priority,
                        ToDo_Alarm,
                        CreateANote};

void Measure(const char* what, int rounds, auto&& step)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rounds; ++i)
        step(i);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    std::printf("  %-44s %10.3f ms each (%d rounds)\n", what, ms / rounds, rounds);
}

void Run(const char* title, int rounds)
{
    std::printf("%s\n", title);
    Measure("first read (the file is parsed)", 1, [](int) { (void)Get_Setting(ToDo_Regarding); });
    Measure("start-up: every setting read once", rounds, [](int) {
        for (Setting s : kAll)
            (void)Get_Setting(s);
    });
    Measure("Get_Setting", rounds * 10, [](int) { (void)Get_Setting(ToDo_Regarding); });
    Measure("Save_Setting (keystroke in a text box)", rounds,
            [](int i) { Save_Setting(ToDo_Regarding, QStringLiteral("Returned Email %1").arg(i)); });
    Measure("Save_Setting of an unchanged value", rounds, [](int) { Save_Setting(Log_Enabled, 1); });
    Measure("Get_Setting after a save", rounds, [](int i) {
        Save_Setting(ToDo_Priority, QStringLiteral("p%1").arg(i));
        (void)Get_Setting(ToDo_Priority);
    });
}

// Other programs' keys, appended straight to the file: writing them one by
// one through the store would take longer than the measurement.
bool Grow(const QString& path, qint64 bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::Append))
        return false;
    QByteArray chunk;
    for (int key = 0; file.size() + chunk.size() < bytes; ++key) {
        chunk += "\r\n[HKEY_CURRENT_USER\\Software\\Other\\Key" + QByteArray::number(key) + "]\r\n";
        for (int i = 0; i < 1000; ++i)
            chunk += "\"Value" + QByteArray::number(i) + "\"=\"some text of another program " +
                     QByteArray::number(i) + "\"\r\n";
        if (chunk.size() > (1 << 20)) {
            file.write(chunk);
            chunk.clear();
        }
    }
    return file.write(chunk) == chunk.size();
}

} // namespace

int main(int argc, char** argv)
{
    const double megabytes = argc > 1 ? std::atof(argv[1]) : 50;
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());

    for (Setting s : kAll)
        Save_Setting(s, QStringLiteral("value %1").arg(s));
    Save_Setting(Log_Enabled, 1);
    Run("Settings file with the program's own values:", 200);

    if (!Grow(Registry_File(), qint64(megabytes * 1024 * 1024)))
        return 1;
    // A file changed within the last two seconds is parsed on every read
    // (its times may not show a second change yet); at start-up the file is
    // older than that.
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    char title[96];
    std::snprintf(title, sizeof title, "Same, grown to %.1f MB by other programs' values:",
                  double(QFile(Registry_File()).size()) / (1024 * 1024));
    Run(title, 3);
    return 0;
}
