#pragma once
// A read-only window for one message: From, To, Cc, Date, Subject, the text
// and the names of its attachments, with a button that hands the message to
// the desktop's mail program. Not modal; one window per message.

#include <QUrl>
#include <QWidget>

#include <functional>
#include <memory>

class QLineEdit;
class QListWidget;
class QPushButton;
class QTextEdit;

namespace bc::outlook {
class Mail_Item;
}

namespace bc::windows {

class frmReadEmail final : public QWidget
{
    Q_OBJECT

public:
    // Shows the message in its window, bringing one already open to the front.
    static frmReadEmail* Show_Email(const std::shared_ptr<outlook::Mail_Item>& mail);
    // The open window of a message (by its EntryID), or nullptr.
    static frmReadEmail* Open_For(const QString& entryId);

    // Test hook: how a file's address goes to the desktop (QDesktopServices
    // by default). The function answers whether a program took it.
    using Url_Opener = std::function<bool(const QUrl&)>;
    static void setUrlOpener(Url_Opener opener);

private:
    explicit frmReadEmail(const std::shared_ptr<outlook::Mail_Item>& mail);
    ~frmReadEmail() override;
    void Open_In_Mail_Program();

    QString entry_id_;
    QString file_;
    QString subject_;
};

} // namespace bc::windows
