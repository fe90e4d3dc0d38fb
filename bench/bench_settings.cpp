// Cost of the settings store: every check box click and keystroke saves one
// value, and start-up reads all of them, each time through the whole file.
// Run: bench_settings [foreign values to add, default 1000]

#include "config/Registry_Routines.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

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
    std::printf("  %-44s %8.3f ms each (%d rounds)\n", what, ms / rounds, rounds);
}

void Run(const char* title)
{
    std::printf("%s\n", title);
    Measure("Save_Setting (keystroke in a text box)", 200,
            [](int i) { Save_Setting(ToDo_Regarding, QStringLiteral("Returned Email %1").arg(i)); });
    Measure("Save_Setting of an unchanged value", 200, [](int) { Save_Setting(Log_Enabled, 1); });
    Measure("Get_Setting", 2000, [](int) { (void)Get_Setting(ToDo_Regarding); });
    Measure("start-up: every setting read once", 200, [](int) {
        for (Setting s : kAll)
            (void)Get_Setting(s);
    });
}

} // namespace

int main(int argc, char** argv)
{
    const int foreign = argc > 1 ? std::atoi(argv[1]) : 1000;
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());

    for (Setting s : kAll)
        Save_Setting(s, QStringLiteral("value %1").arg(s));
    Save_Setting(Log_Enabled, 1);
    Run("Settings file with the program's own values:");

    for (int i = 0; i < foreign; ++i)
        Write_Registry_Value(HKEY_CURRENT_USER, QStringLiteral("Software\\Other\\Key%1").arg(i % 50),
                             QStringLiteral("Value%1").arg(i),
                             QStringLiteral("some text of another program %1").arg(i));
    char title[96];
    std::snprintf(title, sizeof title, "Same, with %d values of other programs in 50 keys:", foreign);
    Run(title);
    return 0;
}
