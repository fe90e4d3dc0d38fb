#include "windows/Window_Placement.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace bc::windows {

void Place_Beside(QWidget* window, const QWidget* owner)
{
    if (!window || !owner || owner == window)
        return;
    constexpr int kGap = 8;
    const QRect frame = owner->frameGeometry();
    // Not shown yet, the window has no frame: it will get one like the
    // owner's.
    const QSize size = window->size() + (frame.size() - owner->size());
    const QRect screen = owner->screen() ? owner->screen()->availableGeometry() : QRect();
    // Pushed back onto the screen it covers as little of the owner as it
    // can, leaving its left part (the lists) in view.
    QPoint at(frame.right() + 1 + kGap, frame.top());
    if (screen.isValid()) {
        at.setX(
            std::clamp(at.x(), screen.left(), std::max(screen.left(), screen.right() + 1 - size.width())));
        at.setY(
            std::clamp(at.y(), screen.top(), std::max(screen.top(), screen.bottom() + 1 - size.height())));
    }
    window->move(at);
}

} // namespace bc::windows
