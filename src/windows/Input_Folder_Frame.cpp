#include "windows/Input_Folder_Frame.h"

#include "windows/Folder_Picker.h"

#include <QLabel>
#include <QVBoxLayout>

namespace bc::windows {

Input_Folder_Frame::Input_Folder_Frame(QWidget* parent) : QGroupBox(QStringLiteral("Input Folder"), parent)
{
    setObjectName(QStringLiteral("FrameInbox"));

    picker_ = new Folder_Picker(Folder_Picker::Input, this);
    auto* note = new QLabel(
        QStringLiteral(
            "The mail folder that is scanned for returned messages. Without one, the Inbox is scanned."),
        this);
    note->setObjectName(QStringLiteral("lblInboxNote"));
    note->setWordWrap(true);
    note->setEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picker_);
    layout->addWidget(note);
    layout->addStretch(1);
}

} // namespace bc::windows
