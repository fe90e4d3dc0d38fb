#pragma once
// The journal of one run: a folder runs/<date-time>/ in the data folder with
// run.txt (what run, when), one record file per change (000001.rec, ...),
// each written whole and flushed before its change is made, the report of the
// run once it has ended (report.txt) and, once it has been undone, the undo's
// own report (undo-report.txt).
//
// A record is lines of "Key: value" (values percent-encoded), an empty line,
// then the contact file's bytes before the change when it has them.

#include "outlook/Maildir.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace bc::engine {

inline const QString kRunsFolder = QStringLiteral("runs");
inline const QString kRunFile = QStringLiteral("run.txt");
inline const QString kReportFile = QStringLiteral("report.txt");
inline const QString kUndoStartedFile = QStringLiteral("undo.txt");
inline const QString kUndoReportFile = QStringLiteral("undo-report.txt");
inline constexpr int kDefaultRunsToKeep = 20;

// The contact a change belongs to, as the report shows it.
struct Contact_Context
{
    QString Name;
    QString File;    // the contact's file
    QString Address; // the bounced address as the contact holds it
    int Slot = 0;    // 1..3: Email1Address .. Email3Address
    QString Subject; // the returned message it came from
    QDateTime Date;
    QStringList Done; // what was done to it, in order
    QString Error;    // what stopped its actions, if anything
};

// A returned message's move as recorded: the plan, or where it went.
struct Recorded_Move
{
    QByteArray From_Dir;
    outlook::maildir::Entry Entry; // in From_Dir, before the move
    QByteArray To_Dir;
    outlook::maildir::Entry Now; // in To_Dir, once it has moved
    qint64 Size = 0;
    qint64 Mtime_Ns = 0;
    QString Subject;
    QDateTime Date;
    QString Target; // the folder's name, as the report shows it
};

enum class Change_Kind
{
    Contact_Save,
    Contact_Delete,
    Task_New,
    Message_Moves, // written before the moves
    Messages_Moved // where they went, written after
};

struct Journal_Record
{
    Change_Kind Kind = Change_Kind::Contact_Save;
    QString File;           // the contact or task file
    QByteArray Before;      // a contact's bytes before the change
    QByteArray After_Hash;  // SHA-256 (hex) of what a save or a new task writes
    QString Deleted_Folder; // where a deleted contact went
    bool Folder_Existed = true;
    Contact_Context Contact;
    std::vector<Recorded_Move> Moves;
};

QByteArray Content_Hash(const QByteArray& bytes);

QByteArray Serialize_Record(const Journal_Record& record);
// nullopt for a file that is not a whole record (never the case for what
// Serialize_Record wrote through the atomic writer).
std::optional<Journal_Record> Parse_Record(const QByteArray& bytes);

struct Run_Folder
{
    QString Path;
    QString Kind;
    QDateTime Started;
    bool Finished = false; // its report was written
    bool Undone = false;
    bool Has_Changes = false;
};

// The runs kept in the data folder, oldest first.
std::vector<Run_Folder> List_Runs();
// The newest run; nullopt when there is none.
std::optional<Run_Folder> Last_Run();
// The records of a run, in the order they were written.
std::vector<Journal_Record> Read_Records(const QString& runFolder);
// The user's limit (Runs_To_Keep), at least 1; kDefaultRunsToKeep when unset.
int Kept_Run_Count();

} // namespace bc::engine
