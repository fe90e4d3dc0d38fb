#pragma once
// The program's icon, compiled in, so that windows carry it whether the
// program runs installed or from its build folder.

#include <QIcon>

namespace bc::windows {

QIcon Application_Icon();

} // namespace bc::windows
