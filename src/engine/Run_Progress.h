#pragma once
// Where a run stands and what it changed, reported to the installed progress
// view (see Progress_Log) for its bar and status text. Nothing is shown in an
// unattended run, which has no view; the totals are kept all the same.

#include "engine/Run_Interfaces.h"

namespace bc::engine {

// The totals of the run under way (or the last one).
Run_Totals& Totals();

// At the start of a run: every total back to 0.
void Start_Totals();

void Report_Stage(Run_Stage stage, qint64 total, const QString& name = {});
void Report_Advance(qint64 done);
void Report_Finished(Run_Outcome outcome);

// A returned message went to Destination_Folder under the disposal choice
// `choice` (Email_What_To_Do: 2 deletes, any other moves).
void Count_Message_Disposed(const QString& choice);

} // namespace bc::engine
