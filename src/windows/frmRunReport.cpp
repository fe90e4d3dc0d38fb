#include "windows/frmRunReport.h"

#include "windows/Window_Placement.h"
#include "windows/class_Elastic.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace bc::windows {
namespace {

frmRunReport* g_report = nullptr;

} // namespace

frmRunReport* frmRunReport::Loaded()
{
    return g_report;
}

frmRunReport& frmRunReport::Open(const QString& path, const QString& text, QWidget* parent)
{
    if (!g_report)
        g_report = new frmRunReport(parent);
    g_report->lblReportFile_->setText(path.isEmpty()
                                          ? QStringLiteral("A preview keeps no report file.")
                                          : QStringLiteral("Kept as %1").arg(QDir::toNativeSeparators(path)));
    g_report->txtReport_->setPlainText(text);
    if (!g_report->isVisible())
        Place_Beside(g_report, QApplication::activeWindow());
    g_report->show();
    g_report->raise();
    g_report->activateWindow();
    return *g_report;
}

frmRunReport::frmRunReport(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmRunReport"));
    setWindowTitle(QStringLiteral("Run Report"));
    setAttribute(Qt::WA_DeleteOnClose);

    lblReportFile_ = new QLabel(this);
    lblReportFile_->setObjectName(QStringLiteral("lblReportFile"));
    lblReportFile_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    txtReport_ = new QPlainTextEdit(this);
    txtReport_->setObjectName(QStringLiteral("txtReport"));
    txtReport_->setReadOnly(true);
    txtReport_->setLineWrapMode(QPlainTextEdit::NoWrap);
    // The report lines up its fields in columns.
    txtReport_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    cmdClose_ = new QPushButton(QStringLiteral("&Close"), this);
    cmdClose_->setObjectName(QStringLiteral("cmdClose"));
    connect(cmdClose_, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdClose_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblReportFile_);
    layout->addWidget(txtReport_, 1);
    layout->addLayout(buttons);
    resize(Twips_To_Pixels(this, 13500, Qt::Horizontal), Twips_To_Pixels(this, 9000, Qt::Vertical));
}

frmRunReport::~frmRunReport()
{
    if (g_report == this)
        g_report = nullptr;
}

} // namespace bc::windows
