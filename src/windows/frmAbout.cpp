#include "windows/frmAbout.h"

#include "windows/Build_Config.h"
#include "windows/HTML_Help.h"
#include "windows/Message_Box.h"
#include "windows/frmHelpBrowser.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace bc::windows {
namespace {

frmAbout* g_about = nullptr;

const QString kNotice = QStringLiteral(
    "Brindlecast changes and deletes contacts in the address books you list, as its options say. "
    "Keep a copy of your address books before the first run. This program is provided as is, "
    "without warranty of any kind, to the extent permitted by law.");

// What the label shows for an address: a web address as itself, a page of
// the manual by name.
QString Shown_Address(const QString& address)
{
    const QUrl url(address);
    if (url.scheme().isEmpty())
        return QStringLiteral("The Brindlecast user's manual");
    return url.toDisplayString(QUrl::RemoveScheme | QUrl::StripTrailingSlash).mid(2);
}

} // namespace

frmAbout& frmAbout::Show_About(QWidget* parent)
{
    if (!g_about)
        g_about = new frmAbout(parent);
    g_about->show();
    g_about->raise();
    g_about->activateWindow();
    return *g_about;
}

frmAbout* frmAbout::Loaded()
{
    return g_about;
}

QString frmAbout::Version_Number()
{
    return QStringLiteral("%1.%2.%3").arg(BC_VERSION_MAJOR).arg(BC_VERSION_MINOR).arg(BC_VERSION_PATCH);
}

frmAbout::frmAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    const QString title = QStringLiteral(BC_PRODUCT_TITLE);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("imgIcon"));
    icon->setPixmap(QApplication::windowIcon().pixmap(64, 64));
    lblHeading_ = new QLabel(title, this);
    lblHeading_->setObjectName(QStringLiteral("lblHeading"));
    QFont heading = lblHeading_->font();
    heading.setPointSizeF(heading.pointSizeF() * 1.8);
    heading.setBold(true);
    lblHeading_->setFont(heading);

    auto* versionLabel = new QLabel(QStringLiteral("Version Number:"), this);
    versionLabel->setObjectName(QStringLiteral("lblVersion"));
    txtVersionNumber_ = new QLineEdit(this);
    txtVersionNumber_->setObjectName(QStringLiteral("txtVersionNumber"));
    txtVersionNumber_->setReadOnly(true);
    txtVersionNumber_->setText(Version_Number());
    versionLabel->setBuddy(txtVersionNumber_);

    auto* notice = new QLabel(kNotice, this);
    notice->setObjectName(QStringLiteral("lblNotice"));
    notice->setWordWrap(true);

    Label3_ = new QLabel(this);
    Label3_->setObjectName(QStringLiteral("Label3"));
    Label3_->setText(QStringLiteral("<a href=\"maker\">%1</a>")
                         .arg(Shown_Address(QStringLiteral(BC_MAKER_HOME_URL)).toHtmlEscaped()));
    Label3_->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    Label3_->setCursor(Qt::PointingHandCursor);
    connect(Label3_, &QLabel::linkActivated, this, [this] { Open_Page(QStringLiteral(BC_MAKER_HOME_URL)); });

    Quorinhome_ = new QPushButton(QStringLiteral("&Product Home Page"), this);
    Quorinhome_->setObjectName(QStringLiteral("Quorinhome"));
    connect(Quorinhome_, &QPushButton::clicked, this,
            [this] { Open_Page(QStringLiteral(BC_PRODUCT_HOME_URL)); });
    ResellerHomePage_ = new QPushButton(
        QStringLiteral("This product is &distributed by ") + QStringLiteral(BC_DISTRIBUTOR_NAME), this);
    ResellerHomePage_->setObjectName(QStringLiteral("ResellerHomePage"));
    connect(ResellerHomePage_, &QPushButton::clicked, this,
            [this] { Open_Page(QStringLiteral(BC_DISTRIBUTOR_HOME_URL)); });
    ok_button_ = new QPushButton(QStringLiteral("&OK"), this);
    ok_button_->setObjectName(QStringLiteral("ok_button"));
    ok_button_->setDefault(true);
    connect(ok_button_, &QPushButton::clicked, this, &QWidget::close);

    auto* head = new QHBoxLayout;
    head->addWidget(icon);
    head->addSpacing(12);
    head->addWidget(lblHeading_, 1);
    auto* version = new QHBoxLayout;
    version->addWidget(versionLabel);
    version->addWidget(txtVersionNumber_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Quorinhome_);
    buttons->addWidget(ResellerHomePage_);
    buttons->addStretch(1);
    buttons->addWidget(ok_button_);
    auto* root = new QVBoxLayout(this);
    root->addLayout(head);
    root->addLayout(version);
    root->addSpacing(6);
    root->addWidget(notice);
    root->addWidget(Label3_);
    root->addSpacing(6);
    root->addLayout(buttons);

    setWindowTitle(QStringLiteral("About ") + title);
    setMinimumWidth(fontMetrics().averageCharWidth() * 72);
    ok_button_->setFocus();
}

frmAbout::~frmAbout()
{
    if (g_about == this)
        g_about = nullptr;
}

void frmAbout::Open_Page(const QString& address)
{
    const QUrl url = Help_Page_Address(address);
    if (!frmHelpBrowser::Show_Page(this, url))
        Message_Box::Show_Stop(QStringLiteral("The page ") + address +
                               QStringLiteral(" could not be opened."));
}

} // namespace bc::windows
