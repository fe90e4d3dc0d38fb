#include "windows/frmHelpBrowser.h"

#include "windows/Desktop_Services.h"

#include <QFileInfo>
#include <QPushButton>
#include <QTextBrowser>

namespace bc::windows {
namespace {

// Client area in twips: the page above a row with the Close button.
constexpr int kWidth = 12600;
constexpr int kHeight = 10200;
constexpr int kMargin = 120;
constexpr int kButtonWidth = 1440;
constexpr int kButtonHeight = 420;

} // namespace

frmHelpBrowser::frmHelpBrowser(QWidget* caller) : QDialog(caller)
{
    setObjectName(QStringLiteral("frmHelpBrowser"));
    setWindowTitle(QStringLiteral("Brindlecast Help Browser"));
    auto px = [this](int twips, Qt::Orientation along) { return Twips_To_Pixels(this, twips, along); };

    WebBrowser1_ = new QTextBrowser(this);
    WebBrowser1_->setObjectName(QStringLiteral("WebBrowser1"));
    // Every link comes through Link_Clicked, which knows web pages from local ones.
    WebBrowser1_->setOpenLinks(false);
    connect(WebBrowser1_, &QTextBrowser::anchorClicked, this, &frmHelpBrowser::Link_Clicked);
    WebBrowser1_->setGeometry(px(kMargin, Qt::Horizontal), px(kMargin, Qt::Vertical),
                              px(kWidth - 2 * kMargin, Qt::Horizontal),
                              px(kHeight - 3 * kMargin - kButtonHeight, Qt::Vertical));

    CloseHelp_ = new QPushButton(QStringLiteral("&Close"), this);
    CloseHelp_->setObjectName(QStringLiteral("CloseHelp"));
    CloseHelp_->setAutoDefault(false);
    CloseHelp_->setGeometry(px(kWidth - kMargin - kButtonWidth, Qt::Horizontal),
                            px(kHeight - kMargin - kButtonHeight, Qt::Vertical),
                            px(kButtonWidth, Qt::Horizontal), px(kButtonHeight, Qt::Vertical));
    connect(CloseHelp_, &QPushButton::clicked, this, &QDialog::accept);

    resize(px(kWidth, Qt::Horizontal), px(kHeight, Qt::Vertical));
    Elastic_.Init(this);
    WebBrowser1_->setFocus();
}

bool frmHelpBrowser::Show_Page(QWidget* caller, const QUrl& url)
{
    if (!url.isValid() || url.isEmpty())
        return false;
    if (Is_Web_Address(url))
        return Desktop_Services::Open_Url(url);
    frmHelpBrowser browser(caller);
    browser.Navigate(url);
    browser.exec();
    return true;
}

void frmHelpBrowser::Navigate(const QUrl& url)
{
    if (Is_Web_Address(url) || (!url.isLocalFile() && !url.scheme().isEmpty())) {
        // mailto: and the like are the desktop's too.
        Desktop_Services::Open_Url(url);
        return;
    }
    if (!QFileInfo(url.toLocalFile()).isFile()) {
        Show_Not_Found(url);
        return;
    }
    WebBrowser1_->setSource(url);
}

QUrl frmHelpBrowser::Current_Page() const
{
    return WebBrowser1_->source();
}

void frmHelpBrowser::Link_Clicked(const QUrl& link)
{
    // Anchors within the page go through Navigate too, so that Alt+Left
    // (back) returns from them.
    Navigate(WebBrowser1_->source().resolved(link));
}

void frmHelpBrowser::Show_Not_Found(const QUrl& url)
{
    WebBrowser1_->setHtml(QStringLiteral("<h2>This page could not be found</h2><p>%1</p>")
                              .arg(url.toDisplayString().toHtmlEscaped()));
}

void frmHelpBrowser::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    Elastic_.FormResize(this);
}

} // namespace bc::windows
