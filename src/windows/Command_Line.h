#pragma once
// What the command line asks for. Any non-empty command line means an
// unattended run, except a request for help or for the version, which only
// prints: `brindlecast help` from a crontab must never touch a contact.
// The options are one table, so a new one is a new row (and a new mode).

#include "engine/Unattended_Start.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace bc::windows {

enum class Command_Mode
{
    Interactive, // no command line: the main window
    Unattended,  // any other text: the "All" run without a window
    Help,
    Version,
    Report,  // print the last run's report
    Preview, // the unattended run, changing nothing
    Undo     // take the last run back
};

// The exit codes of a command-line start, as --help and the man page list them.
enum Exit_Code : int
{
    Exit_Done = 0,                                // printed, or the run reached its closing lines
    Exit_Failed = engine::kExit_Start_Up_Failed,  // the start-up or the run failed
    Exit_No_Settings = engine::kExit_No_Settings, // settings missing, unreadable or without Contact_Action
    Exit_Locked = engine::kExit_Run_Locked        // another run holds the data folder's lock
};

struct Command_Option
{
    QStringList Names; // every spelling, the first one shown first
    Command_Mode Mode;
    QString Description;
};

// In order of precedence: when several options are given, the first row that
// any argument matches decides.
const std::vector<Command_Option>& Command_Options();

// The mode for the arguments (the program's name left out).
Command_Mode Parse_Command_Line(const QStringList& arguments);

// What `brindlecast --help` prints: usage, options, environment, files and
// exit codes.
QString Command_Line_Help();

} // namespace bc::windows
