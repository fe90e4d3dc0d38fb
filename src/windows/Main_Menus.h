#pragma once
// The main window's menu bar: File, Process, Tools and Help. Each entry is a
// QAction named like its control so that it can be found and triggered by
// name.

class QAction;
class QMainWindow;

namespace bc::windows {

struct Main_Menus
{
    explicit Main_Menus(QMainWindow* window);

    QAction* ExitConvert = nullptr;
    QAction* mnuProcessSelective = nullptr;
    QAction* mnuProcessCurrent = nullptr;
    QAction* mnuProcessAll = nullptr;
    QAction* mnuPreviewRun = nullptr;
    QAction* mnuManageContacts = nullptr;
    QAction* mnuEditReturnIdentifiers = nullptr;
    QAction* mnuNoCheckAddresses = nullptr;
    QAction* mnuUndoLastRun = nullptr;
    QAction* mnuHelpTopic = nullptr;
    QAction* OnlineManual = nullptr;
    QAction* AboutQuorin = nullptr;
};

} // namespace bc::windows
