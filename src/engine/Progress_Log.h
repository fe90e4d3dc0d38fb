#pragma once
// The one way a run reports a progress line: the progress window shows it
// (not in an unattended run, which prints it to standard output instead), the
// log file gets it when logging is enabled, and pending window events run
// once, which is where a click on the progress window's Close is seen.

#include "engine/Run_Interfaces.h"

#include <QDateTime>
#include <QString>

#include <optional>

namespace bc::engine {

inline const QString kLogFileName = QStringLiteral("bouncedemails.log");

// The view the lines go to (not owned); nullptr shows nothing.
void Set_Progress_View(Progress_View* view);
Progress_View* Installed_Progress_View();

void Add_Item_To_List(const QString& text);

// Lets pending window events run once; nothing without an application object.
void Yield_To_Events();

// A line of the log file, without its line end: "2026-12-06 17:04:05  text".
QString Log_Line(const QDateTime& when, const QString& text);

// For the length of one run or manual processing: installs the view and
// reads Log_Enabled once, so that the settings file is not reread for every
// line (a change of the box applies from the next run). Restores the previous
// view when it ends.
class Progress_Session
{
public:
    explicit Progress_Session(Progress_View* view);
    ~Progress_Session();
    Progress_Session(const Progress_Session&) = delete;
    Progress_Session& operator=(const Progress_Session&) = delete;

private:
    Progress_View* previousView_;
    std::optional<bool> previousLogging_;
};

} // namespace bc::engine
