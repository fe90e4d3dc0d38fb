#pragma once
// Every message box and question of the program goes through this interface:
// the windows put up real message boxes, an unattended run writes the texts to
// standard error, and tests record them and choose the answers.

#include <QString>

namespace bc {

class User_Messages
{
public:
    virtual ~User_Messages() = default;
    // A message box with the OK button only and the program's title as caption.
    virtual void Show_Message(const QString& text) = 0;
    // A question with Yes and No buttons; true means Yes.
    virtual bool Ask_Yes_No(const QString& text) = 0;
};

// The program-wide channel. Until a window layer installs its own, messages go
// to standard error and questions are answered No (nothing is done unasked).
User_Messages& Messages();
// Installs a channel (not owned); nullptr restores the standard-error one.
void Set_Messages(User_Messages* channel);

} // namespace bc
