#pragma once
// "Brindlecast Help Browser": a page of the manual (or any local HTML page)
// with a Close button, shown modally over the window that asked for it and
// made afresh for every use. It has no address bar. Links to web pages go to
// the desktop's web browser, since a text browser cannot show the web.

#include "windows/class_Elastic.h"

#include <QDialog>
#include <QUrl>

class QPushButton;
class QTextBrowser;

namespace bc::windows {

class frmHelpBrowser final : public QDialog
{
    Q_OBJECT

public:
    explicit frmHelpBrowser(QWidget* caller);

    // Shows the page: a local one in a new help browser modal over the
    // caller (returning when it closes), a web page in the desktop's
    // browser. False when neither could show it.
    static bool Show_Page(QWidget* caller, const QUrl& url);

    // Loads a local page into the browser (a web address goes to the desktop).
    void Navigate(const QUrl& url);
    QUrl Current_Page() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Link_Clicked(const QUrl& link);
    void Show_Not_Found(const QUrl& url);

    QTextBrowser* WebBrowser1_ = nullptr;
    QPushButton* CloseHelp_ = nullptr;
    class_Elastic Elastic_;
};

} // namespace bc::windows
