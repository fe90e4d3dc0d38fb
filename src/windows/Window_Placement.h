#pragma once
// Where a window that belongs to another one opens: beside it, to the right,
// moved back as far as needed to stay on the screen.

class QWidget;

namespace bc::windows {

void Place_Beside(QWidget* window, const QWidget* owner);

} // namespace bc::windows
