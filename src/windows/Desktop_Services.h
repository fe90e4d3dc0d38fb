#pragma once
// Addresses the program cannot show itself (web pages) go to the desktop's
// own browser. Tests put a hook in front so nothing is opened for real.

#include <QUrl>

#include <functional>

namespace bc::windows {

class Desktop_Services
{
public:
    // True when the desktop took the address.
    static bool Open_Url(const QUrl& url);

    // Test hook: called instead of the desktop; an empty hook restores it.
    using Open_Url_Hook = std::function<bool(const QUrl&)>;
    static void setOpenUrlHook(Open_Url_Hook hook);
};

// http and https: pages for a web browser, not for the help browser.
bool Is_Web_Address(const QUrl& url);

} // namespace bc::windows
