#pragma once
// Addresses are compared in upper case. Each character becomes its one
// upper-case partner, and only when that partner turns back into it in lower
// case: no expansion ("ß" stays "ß", never "SS"), no locale rules, and no
// folding of distinct letters onto one ("ı" and "ſ" stay themselves rather
// than becoming "I" and "S"). So two different mailboxes never compare equal.

#include <QString>

namespace bc {

QString Upper_Address(const QString& address);

} // namespace bc
