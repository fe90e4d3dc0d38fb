#pragma once
// The processing run: the input folder's returned messages, their bounced
// addresses, the contact actions on every database to be processed, and the
// disposal of the returned messages.

#include "engine/Run_Interfaces.h"
#include "engine/Run_Lock.h"

#include <QString>

#include <memory>

namespace bc::engine {

// What a run needs from the windows (none owned).
struct Run_Context
{
    const Contact_Action_Choices& Choices;
    const Database_List_View* Databases = nullptr; // rows and their selected state, for "Selected"
    Progress_View* Progress = nullptr;             // not shown in an unattended run
};

inline const QString kNoDatabaseSetUp = QStringLiteral("No database have been setup!");
inline const QString kNoDatabaseSelected =
    QStringLiteral("No database has been selected! Select a database first.");
inline const QString kNoDatabaseForManual = QStringLiteral(
    "No database has been selected. Please select a database(s) to process on the main screen.");

// The disposal's lines when returned messages stay in the input folder.
inline const QString kMessagesLeftAfterError =
    QStringLiteral("A database scan ended in an error: the returned emails were left in the input folder.");
inline const QString kMessageKept = QStringLiteral("Returned Email Kept In Input Folder: ");

// The entry points' refusals: each shows its message and answers false when
// the entry must not start.
bool Check_Process_All(int databaseRowCount);     // "All"
bool Check_Process_Selected(bool hasCurrentRow);  // "Selected"
bool Check_Process_Manually(bool anyRowSelected); // "Manual"

// Holds Flags().Run_In_Progress for its lifetime when it could take it, so
// that no run or manual processing starts inside the yields of another, and
// the data folder's run lock, so that no other process runs at the same time
// (its refusal shows a message; one inside this process stays silent).
class Run_Guard
{
public:
    Run_Guard();
    ~Run_Guard();
    Run_Guard(const Run_Guard&) = delete;
    Run_Guard& operator=(const Run_Guard&) = delete;
    bool Acquired() const { return acquired_; }

private:
    bool acquired_;
    std::unique_ptr<Run_Lock> lock_;
};

// One processing run over all databases or the selected rows of
// context.Databases. Answers false, doing nothing, while another run or a
// manual processing is under way.
bool ConvertCurrent(bool selectedOnly, const Run_Context& context);

// The unattended "All": the refusal for an empty database list, then the run
// without a progress window.
bool Run_All_Unattended(const Contact_Action_Choices& choices);

} // namespace bc::engine
