#include "windows/frmReadEmail.h"

#include "config/User_Messages.h"
#include "outlook/Mail_Reader.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QVBoxLayout>

namespace bc::windows {
namespace {

QHash<QString, QPointer<frmReadEmail>>& Open_Windows()
{
    static QHash<QString, QPointer<frmReadEmail>> windows;
    return windows;
}

frmReadEmail::Url_Opener& Opener()
{
    static frmReadEmail::Url_Opener opener;
    return opener;
}

QLineEdit* Field(QFormLayout* form, const QString& label, const char* name, const QString& text)
{
    auto* field = new QLineEdit(text);
    field->setObjectName(QLatin1String(name));
    field->setReadOnly(true);
    field->setCursorPosition(0);
    auto* caption = new QLabel(label);
    caption->setBuddy(field);
    form->addRow(caption, field);
    return field;
}

// A file name the desktop recognises as a message, from its subject.
QString Eml_Name(const QString& subject)
{
    QString name;
    for (const QChar c : subject)
        name += (c.isPrint() && !QStringLiteral("/\\:*?\"<>|").contains(c)) ? c : QLatin1Char('_');
    name = name.trimmed().left(60);
    return (name.isEmpty() ? QStringLiteral("message") : name) + QStringLiteral(".eml");
}

} // namespace

frmReadEmail* frmReadEmail::Show_Email(const std::shared_ptr<outlook::Mail_Item>& mail)
{
    frmReadEmail* window = Open_For(mail->EntryID());
    if (!window) {
        window = new frmReadEmail(mail);
        Open_Windows().insert(window->entry_id_, window);
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

frmReadEmail* frmReadEmail::Open_For(const QString& entryId)
{
    return Open_Windows().value(entryId);
}

void frmReadEmail::setUrlOpener(Url_Opener opener)
{
    Opener() = std::move(opener);
}

frmReadEmail::frmReadEmail(const std::shared_ptr<outlook::Mail_Item>& mail)
    : QWidget(nullptr, Qt::Window), entry_id_(mail->EntryID()), file_(outlook::Message_File(*mail))
{
    setObjectName(QStringLiteral("frmReadEmail"));
    setAttribute(Qt::WA_DeleteOnClose);
    const outlook::Mail_Reader_Headers headers = outlook::Reader_Headers(*mail);
    subject_ = headers.Subject.isEmpty() ? mail->Subject() : headers.Subject;
    setWindowTitle(subject_.isEmpty() ? QStringLiteral("(no subject)") : subject_);

    auto* form = new QFormLayout;
    Field(form, QStringLiteral("From:"), "txtFrom", headers.From);
    Field(form, QStringLiteral("To:"), "txtTo", headers.To);
    Field(form, QStringLiteral("Cc:"), "txtCc", headers.Cc);
    const QDateTime when = headers.Date.isValid() ? headers.Date : mail->Delivery_Time();
    Field(form, QStringLiteral("Date:"), "txtDate",
          when.isValid() ? QLocale::system().toString(when.toLocalTime(), QLocale::LongFormat) : QString());
    Field(form, QStringLiteral("Subject:"), "txtSubject", subject_);

    auto* body = new QTextEdit;
    body->setObjectName(QStringLiteral("txtBody"));
    body->setReadOnly(true);
    body->setAcceptRichText(false);
    body->setPlainText(mail->Body());

    auto* attachments = new QListWidget;
    attachments->setObjectName(QStringLiteral("lstAttachments"));
    attachments->addItems(headers.Attachments);
    attachments->setMaximumHeight(attachments->sizeHintForRow(0) * 4 + 2 * attachments->frameWidth() + 4);
    auto* attachmentsLabel = new QLabel(QStringLiteral("&Attachments:"));
    attachmentsLabel->setBuddy(attachments);
    attachments->setVisible(!headers.Attachments.isEmpty());
    attachmentsLabel->setVisible(!headers.Attachments.isEmpty());

    auto* handOver = new QPushButton(QStringLiteral("Open in &Mail Program"));
    handOver->setObjectName(QStringLiteral("cmdOpenInMailProgram"));
    handOver->setToolTip(QStringLiteral("Open a copy of this email in the desktop's mail program"));
    handOver->setEnabled(!file_.isEmpty());
    auto* closeButton = new QPushButton(QStringLiteral("&Close"));
    closeButton->setObjectName(QStringLiteral("cmdClose"));
    connect(handOver, &QPushButton::clicked, this, &frmReadEmail::Open_In_Mail_Program);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(handOver);
    buttons->addStretch(1);
    buttons->addWidget(closeButton);

    auto* root = new QVBoxLayout(this);
    root->addLayout(form);
    root->addWidget(body, 1);
    root->addWidget(attachmentsLabel);
    root->addWidget(attachments);
    root->addLayout(buttons);
    body->setFocus();
    resize(720, 560);
}

frmReadEmail::~frmReadEmail()
{
    if (Open_Windows().value(entry_id_) == this)
        Open_Windows().remove(entry_id_);
}

void frmReadEmail::Open_In_Mail_Program()
{
    // A copy with the ".eml" ending: Maildir names say nothing of their type,
    // and the mail program cannot change the stored message.
    static QTemporaryDir copies(QDir::tempPath() + QStringLiteral("/brindlecast-XXXXXX"));
    static int copyCount = 0;
    const QString folder = copies.path() + QLatin1Char('/') + QString::number(++copyCount);
    const QString copy = folder + QLatin1Char('/') + Eml_Name(subject_);
    const bool copied = copies.isValid() && QDir().mkpath(folder) && QFile::copy(file_, copy);
    const QUrl url = QUrl::fromLocalFile(copy);
    const bool opened = copied && (Opener() ? Opener()(url) : QDesktopServices::openUrl(url));
    if (!opened)
        Messages().Show_Message(QStringLiteral("The email could not be handed to the mail program."));
}

} // namespace bc::windows
