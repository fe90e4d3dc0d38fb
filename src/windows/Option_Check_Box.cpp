#include "windows/Option_Check_Box.h"

namespace bc::windows {

Option_Check_Box::Option_Check_Box(const QString& objectName, const QString& text, QWidget* parent)
    : QCheckBox(text, parent)
{
    setObjectName(objectName);
    // Catches every other way the state can change (setChecked, toggle).
    connect(this, &QCheckBox::stateChanged, this, [this] { Publish(); });
}

int Option_Check_Box::Value() const
{
    switch (checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

void Option_Check_Box::Set_Value(int value)
{
    const Qt::CheckState state = value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked;
    {
        // QCheckBox passes through "checked" on its way to grayed; only the
        // final value may reach the handlers.
        const QSignalBlocker quiet(this);
        setCheckState(state);
    }
    Publish();
}

void Option_Check_Box::nextCheckState()
{
    Set_Value(Value() == 1 ? 0 : 1);
}

void Option_Check_Box::Publish()
{
    const int value = Value();
    if (value == published_)
        return;
    published_ = value;
    Q_EMIT Value_Changed(value);
}

} // namespace bc::windows
