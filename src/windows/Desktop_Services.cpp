#include "windows/Desktop_Services.h"

#include <QDesktopServices>

namespace bc::windows {
namespace {

Desktop_Services::Open_Url_Hook& Hook()
{
    static Desktop_Services::Open_Url_Hook hook;
    return hook;
}

} // namespace

bool Desktop_Services::Open_Url(const QUrl& url)
{
    if (Hook())
        return Hook()(url);
    return QDesktopServices::openUrl(url);
}

void Desktop_Services::setOpenUrlHook(Open_Url_Hook hook)
{
    Hook() = std::move(hook);
}

bool Is_Web_Address(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

} // namespace bc::windows
