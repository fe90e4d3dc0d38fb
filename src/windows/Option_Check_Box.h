#pragma once
// A check box that holds a stored option value: 0 unchecked, 1 checked,
// 2 grayed. Value_Changed fires whenever the value changes, whether the user
// clicked or code set it, because the option handlers (saving, interlocks)
// must run in both cases. A user click only ever toggles between checked and
// unchecked; grayed is reachable from a stored value alone.

#include <QCheckBox>

namespace bc::windows {

class Option_Check_Box : public QCheckBox
{
    Q_OBJECT

public:
    Option_Check_Box(const QString& objectName, const QString& text, QWidget* parent = nullptr);

    int Value() const;
    // 1 checks, 2 grays, anything else unchecks.
    void Set_Value(int value);

Q_SIGNALS:
    void Value_Changed(int value);

protected:
    void nextCheckState() override;

private:
    void Publish();

    int published_ = 0;
};

} // namespace bc::windows
