#pragma once
// Program-wide facts settled at start-up.

#include <QString>

namespace bc {

struct App_State
{
    // Folder of every data file, always ending in '/'.
    QString Data_Folder;
    // Started with a command line: process everything without a window.
    bool Auto_Run = false;
};

App_State& App();

// HomeDir from the suite key when set, else $XDG_DATA_HOME/Brindlecast/
// (~/.local/share/Brindlecast/); created when missing. Sets App().Data_Folder
// and returns it.
QString Set_Data_Folder();

// Data_Folder followed directly by the file name.
QString Data_File(const QString& fileName);

} // namespace bc
