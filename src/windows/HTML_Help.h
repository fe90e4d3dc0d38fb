#pragma once
// The program's help: the user's manual "Brindlecast.html", looked for first
// where the build installs it and then in the program's own folder (a build
// run from its build folder, an unpacked copy), and shown in the help
// browser window.

#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWidget>

namespace bc::windows {

class HTML_Help
{
public:
    // Chooses the help file and remembers the window that owns the viewer.
    // The choice becomes the program's help file (Application_Help_File).
    void Set_Help_File(QWidget* window);
    // Opens the manual's first page over the caller window, or says why not:
    // "Help file not found." or "Help file <path> could not be opened".
    void Show_Help() const;

    QString Help_File() const { return Help_File_; }
    QWidget* Caller_Window() const { return Caller_Window_; }

    // The help file the last Set_Help_File chose; empty when none was found.
    static QString Application_Help_File();

    // Test hook: where Set_Help_File looks. Empty texts restore the built-in
    // path and the program's folder.
    static void setLocationsForTest(const QString& builtInPath, const QString& programFolder);

private:
    QString Help_File_;
    QPointer<QWidget> Caller_Window_;
};

// An address of the build's configuration as the help browser opens it: one
// with a scheme as it is, one without a page beside the program's help file
// ("Brindlecast.html#about"). Invalid when it needs a help file and none was
// found.
QUrl Help_Page_Address(const QString& address);

} // namespace bc::windows
