#include "windows/Application_Icon.h"

namespace bc::windows {

QIcon Application_Icon()
{
    return QIcon(QStringLiteral(":/icons/brindlecast.svg"));
}

} // namespace bc::windows
