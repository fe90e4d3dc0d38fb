#pragma once
// What becomes of a returned message once its contacts are handled: left in
// place, moved to the chosen folder, or deleted (moved to the deleted items
// folder, so it can still be restored).

#include <QString>

#include <vector>

namespace bc::engine {

inline const QString kRunCallerTag = QStringLiteral("Process One or Many Databases");
inline const QString kSelectiveConversionTag = QStringLiteral("Selective_Conversion");

// The manual scan window's side of the disposal: a disposed message leaves
// its list too.
class Selective_Conversion_View
{
public:
    virtual ~Selective_Conversion_View() = default;
    // Removes the row with that key; false when no row has it.
    virtual bool Remove_Row(const QString& key) = 0;
    virtual void Clear_Selected_Row() = 0;
    virtual int Row_Count() const = 0;
    virtual void Set_Status(const QString& text) = 0;
};

// The manual scan window installs itself while it is open (not owned).
void Set_Selective_Conversion_View(Selective_Conversion_View* view);
Selective_Conversion_View* Installed_Selective_Conversion_View();

// The key of a message's row in the manual scan window: "-:::-", the row
// index, "-:::-".
QString Message_Row_Key(qint32 rowIndex);

// Moves the message of row `rowIndex` of Message_Rows to Destination_Folder
// when the numeric value of `choice` (Email_What_To_Do) is above 1. A message
// that is gone (an earlier record of it moved it) or that cannot be moved is
// passed over silently. The caller tag "Selective_Conversion" also takes the
// row out of the manual scan window's list.
void Post_Email_Action(qint32 rowIndex, const QString& choice, const QString& callerTag);

// Around the disposal of a run or manual processing: the run's journal
// records all the moves of these rows' messages in one record before the
// first, and where the messages went once they have moved.
void Announce_Disposal(const std::vector<qint32>& rows, const QString& choice);
void Disposal_Done();
// Each row's message once, in order, between the two.
void Dispose_Messages(const std::vector<qint32>& rows, const QString& choice, const QString& callerTag);

} // namespace bc::engine
