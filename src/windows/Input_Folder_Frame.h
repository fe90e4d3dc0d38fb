#pragma once
// The "Input Folder" page: the mail folder that is scanned for returned
// messages.

#include <QGroupBox>

namespace bc::windows {

class Folder_Picker;

class Input_Folder_Frame : public QGroupBox
{
    Q_OBJECT

public:
    explicit Input_Folder_Frame(QWidget* parent = nullptr);

    Folder_Picker* Picker() const { return picker_; }

private:
    Folder_Picker* picker_ = nullptr;
};

} // namespace bc::windows
