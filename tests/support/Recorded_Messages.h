#pragma once
// Records every message box instead of showing it, for as long as the object
// lives; a question is answered No.

#include "config/User_Messages.h"

#include <QStringList>

namespace bc::test {

class Recorded_Messages : public User_Messages
{
public:
    Recorded_Messages() { Set_Messages(this); }
    ~Recorded_Messages() override { Set_Messages(nullptr); }
    Recorded_Messages(const Recorded_Messages&) = delete;
    Recorded_Messages& operator=(const Recorded_Messages&) = delete;

    void Show_Message(const QString& text) override { shown << text; }
    bool Ask_Yes_No(const QString& text) override
    {
        shown << text;
        return false;
    }
    QStringList shown;
};

} // namespace bc::test
