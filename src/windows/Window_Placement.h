#pragma once
// Where a window that belongs to another one opens: beside it when the screen
// has room, else a little below and to the right of its corner; always on the
// screen.

class QWidget;

namespace bc::windows {

void Place_Beside(QWidget* window, const QWidget* owner);

} // namespace bc::windows
