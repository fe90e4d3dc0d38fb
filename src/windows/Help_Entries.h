#pragma once
// The main window's ways into help: "Help Topic" and F1 (the manual),
// "Online Help" (the online manual in the help browser), "About Brindlecast",
// and the "Process" heading (the maker's web site).

class QWidget;

namespace bc::windows {

class HTML_Help;
struct Main_Menus;

void Connect_Help_Entries(QWidget* window, const Main_Menus& menus, const HTML_Help& help);

// "Online Help": a failure says "112 Error: " and why.
void Open_Online_Manual(QWidget* caller);
// The maker's home page, from the main window's "Process" heading.
void Open_Maker_Site(QWidget* caller);

} // namespace bc::windows
