#pragma once
// The raw texts of the demo profile's messages.

#include "demo/Demo_Profile.h"

#include <QByteArray>

#include <vector>

namespace bc::outlook::demo {

// The returned message of form `form` (its position in Returned_Messages())
// as its server would write it, sent at `when` (seconds since the epoch).
QByteArray Returned_Message_Text(int form, const Returned_Message& message, qint64 when);

// Ordinary mail of the demo Inbox, oldest first; `first` is the time of the
// first one.
std::vector<QByteArray> Ordinary_Message_Texts(qint64 first, qint64 step);

} // namespace bc::outlook::demo
