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
    constexpr int kCascade = 40;
    const QRect frame = owner->frameGeometry();
    const QSize size = window->frameGeometry().size();
    const QRect screen = owner->screen() ? owner->screen()->availableGeometry() : QRect();
    QPoint at(frame.right() + 1 + kGap, frame.top());
    if (screen.isValid() && !screen.contains(QRect(at, size)))
        at = frame.topLeft() + QPoint(kCascade, kCascade);
    if (screen.isValid()) {
        at.setX(
            std::clamp(at.x(), screen.left(), std::max(screen.left(), screen.right() + 1 - size.width())));
        at.setY(
            std::clamp(at.y(), screen.top(), std::max(screen.top(), screen.bottom() + 1 - size.height())));
    }
    window->move(at);
}

} // namespace bc::windows
