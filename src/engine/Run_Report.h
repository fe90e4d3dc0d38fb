#pragma once
// The report of one run, for a person to read: every contact that matched
// (name, file, the bounced address and its slot, the returned message it came
// from, what was done to it), every returned message and where it went, and
// the counts.

#include "engine/Journal_Records.h"

#include <QDateTime>
#include <QString>

#include <vector>

namespace bc::engine {

enum class Message_Outcome
{
    Left,     // the choice was to leave it, or no address of it was acted on
    Moved,    // to Target
    Deleted,  // moved to Target, the deleted items folder
    Not_Moved // meant to move, but gone or refused
};

struct Report_Message
{
    QByteArray Unique; // its file's unique name in the input folder
    QString Subject;
    QDateTime Date;
    Message_Outcome Outcome = Message_Outcome::Left;
    QString Target;
};

struct Run_Report
{
    QString Kind;
    bool Preview = false;
    bool Finished = false; // reached its end (a killed run did not)
    bool Stopped = false;  // the user stopped it
    QDateTime Started;
    QDateTime Ended;
    QString Folder; // its journal; empty for a preview
    std::vector<Contact_Context> Contacts;
    std::vector<Report_Message> Messages;
};

// What each contact action is called in the report.
inline const QString kDoneDeleted = QStringLiteral("deleted (moved to the deleted contacts folder)");
inline const QString kDoneNote = QStringLiteral("note added");
inline const QString kDoneTask = QStringLiteral("task made");
QString Done_Cleared(int slot);
QString Done_Field(const QString& field, const QString& value);

QString Report_Text(const Run_Report& report);

// The report of a kept run: its report.txt, or, for a run that never got to
// write one (killed), one made from its journal.
QString Kept_Report_Text(const Run_Folder& run);

} // namespace bc::engine
