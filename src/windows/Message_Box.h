#pragma once
// Message boxes and questions of the windows: a QMessageBox with the
// program's title as caption and exactly the buttons asked for. Tests queue
// the answers with setNextAnswer (and typed texts with setNextInput) and read
// what was shown from shown().

#include "config/User_Messages.h"

#include <QMessageBox>
#include <QStringList>

class QWidget;

namespace bc::windows {

inline const QString kProgramTitle = QStringLiteral("Brindlecast");

class Message_Box final : public User_Messages
{
public:
    void Show_Message(const QString& text) override;
    bool Ask_Yes_No(const QString& text) override;
    // A message box with the stop icon (OK only), for a failure the user
    // has to act on.
    static void Show_Stop(const QString& text);

    // Test hook: the next box is not shown but answered at once with this
    // button (QMessageBox::Ok, Yes or No). Answers queue up in order.
    static void setNextAnswer(QMessageBox::StandardButton button);
    // Every text put up (or answered through the hook) since the last clear.
    static const QStringList& shown();
    static void clearShown();

    // In an unattended run without a display, texts go to standard error
    // instead of waiting for a click.
    static void setUnattended(bool unattended);

    // An input box with OK and Cancel: the text typed, "" when cancelled.
    // The prompt counts as shown.
    static QString Input_Box(QWidget* parent, const QString& prompt, const QString& title,
                             const QString& defaultText = QString());
    // Test hook: the next input box is not shown but answered at once with
    // this text ("" as if cancelled). Answers queue up in order.
    static void setNextInput(const QString& text);
};

// Installs the program-wide message box channel (idempotent).
void Install_Message_Boxes();

} // namespace bc::windows
