#pragma once
// Contact matching and the contact actions for one listed contact folder.

#include "engine/Run_Interfaces.h"

#include <QString>

namespace bc::engine {

inline const QString kTaskEvent = QStringLiteral("Task");
inline const QString kNoField = QStringLiteral("<None>");
inline const QString kNoteSeparator = QStringLiteral("Returned Email --------------------------");

// Walks the contact folder of Contact_Folder_List[index] from its last item to
// its first and applies the actions chosen in `choices` (read when each
// matching contact is handled) to every contact whose address is in
// Bounced_Emails. False only when the user stopped the processing, which
// stops the whole run.
bool Process_Contact_Folder(qint32 index, const Contact_Action_Choices& choices);

} // namespace bc::engine
