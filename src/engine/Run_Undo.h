#pragma once
// Takes the last run back from its journal: deleted contacts return to their
// folder, changed contacts get their old bytes back, the tasks it made are
// removed and the messages it moved return to the input folder. Only what is
// still exactly as the run left it is touched: a contact edited since, a task
// changed or a message moved again is left as it is and listed as not
// restored. A run killed half-way is taken back up to its last change; a
// change it recorded but never made is recognised by the file's bytes and
// skipped. The undo is recorded in the run's folder before it starts and
// once it has ended, so it is applied once: a second undo of the same run
// refuses, and an undo that was itself killed is finished by the next one.

#include "engine/Journal_Records.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace bc::engine {

struct Undo_Counts
{
    int Contacts_Back = 0;     // deleted contacts returned to their folder
    int Contacts_Restored = 0; // changed contacts given their old bytes
    int Tasks_Removed = 0;
    int Messages_Back = 0;
    QStringList Not_Restored; // one line each: what, and why it was left
    int Total() const { return Contacts_Back + Contacts_Restored + Tasks_Removed + Messages_Back; }
};

struct Undo_Plan
{
    std::optional<Run_Folder> Run; // the run an undo would take back
    QString Refusal;               // why there is nothing to undo, when Run is unset
    Undo_Counts Counts;            // what it would do, as things are now
    // "Undo the run ...? It will ..." for the confirmation.
    QString Question() const;
};

struct Undo_Result
{
    bool Done = false;
    bool Locked = false; // refused because a run is under way
    QString Refusal;     // when nothing was undone
    Undo_Counts Counts;
    QString Report_Path;
    QString Report_Text;
    // A short summary for a message box.
    QString Summary() const;
};

inline const QString kNothingToUndo =
    QStringLiteral("No kept run has changed anything, so there is nothing to undo.");

// The last run that changed something, and what undoing it would do now.
Undo_Plan Plan_Undo_Last_Run();
// Undoes it. Refuses while a run is under way.
Undo_Result Undo_Last_Run();

} // namespace bc::engine
