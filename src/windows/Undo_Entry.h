#pragma once
// "Undo Last Run": says what undoing the last run would restore, asks, and
// then takes the run back and says what it restored and what it left.

namespace bc::windows {

void Undo_Last_Run_Entry();

} // namespace bc::windows
