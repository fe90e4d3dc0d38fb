#pragma once
// The main window: the contact folder list, the three processing entries,
// five pages of options and the menu bar. Its load is the program's start-up
// and its unload the program's end. The engine reads the contact-action
// choices from its controls while a run handles each contact.

#include "config/Contact_Folder_List.h"
#include "engine/Run_Interfaces.h"
#include "windows/HTML_Help.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <vector>

class QLabel;
class QPushButton;
class QStackedWidget;
class QTabBar;

namespace bc::windows {

class Contact_Action_Frame;
class Database_List;
class Email_Actions_Frame;
class Input_Folder_Frame;
class Log_Frame;
class Schedule_Event_Frame;
struct Main_Menus;

class frmMain : public QMainWindow, public engine::Contact_Action_Choices
{
    Q_OBJECT

public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // The processing run over all databases (selectedOnly false) or the
    // selected ones; and the manual scan window. Until they are set the
    // entries say that the function is not available.
    using Run_Handler = std::function<void(frmMain& window, bool selectedOnly)>;
    using Manual_Scan_Handler = std::function<void(frmMain& window)>;
    void Set_Run_Handler(Run_Handler handler) { run_handler_ = std::move(handler); }
    void Set_Manual_Scan_Handler(Manual_Scan_Handler handler) { manual_handler_ = std::move(handler); }

    // The start-up: any non-empty command line makes the run unattended.
    // Restores every option, loads the lists, then either runs "All" and
    // unloads (unattended) or shows the window. A failing step shows
    // "Error: <marker> Problem: <description>" and skips the rest; an
    // unattended start-up then ends without running. Returns false after a
    // failed step.
    bool Load(const QString& commandLine);

    // The program's end: saves the contact folder list (not in an unattended
    // run), closes every other window and emits Program_Ended. Runs once.
    void Unload();
    bool Is_Unloaded() const { return unloaded_; }

    // The entries of the buttons and the Process menu, with their refusals.
    void Run_All();      // "All"
    void Run_Selected(); // "Selected"
    void Run_Manual();   // "Manual"
    void Run_Preview();  // "Preview Run": "All", changing nothing

    Database_List* Databases() const { return ListDatabases_; }
    const engine::Contact_Action_Choices& Choices() const { return *this; }
    // The key of the page now shown ("Contact Action", ...).
    QString Current_Frame_Key() const;

    // engine::Contact_Action_Choices
    int Contact_Delete() const override;
    int Create_A_Note() const override;
    int Clear_Email_Address() const override;
    int Set_Field_In_Contact() const override;
    QString Field_To_Be_Set() const override;
    QString Field_Value() const override;
    QString Event_Text() const override;

Q_SIGNALS:
    // The main window was unloaded: the program ends.
    void Program_Ended();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Build_Window();
    void Wire_Entries();
    void Start_Up_Steps();
    void Tab_Click(int index);
    void Show_Frame(QWidget* frame);
    void Not_Available(const QString& function);
    bool Entry_Blocked() const;
    void Run_Changed(bool running);
    bool List_Changed_Since_Load() const;

    Database_List* ListDatabases_ = nullptr;
    QPushButton* AddDatabase_ = nullptr;
    QPushButton* RemoveThisDatabase_ = nullptr;
    QLabel* lblProcess_ = nullptr;
    QPushButton* ProcessCurrent_ = nullptr;
    QPushButton* Scan_Selective_ = nullptr;
    QPushButton* ScanEmails_ = nullptr;
    QPushButton* CloseBrindlecast_ = nullptr;
    QTabBar* TabStrip1_ = nullptr;
    QStackedWidget* frames_ = nullptr;
    Contact_Action_Frame* contact_ = nullptr;
    Schedule_Event_Frame* schedule_ = nullptr;
    Log_Frame* log_ = nullptr;
    Input_Folder_Frame* inbox_ = nullptr;
    Email_Actions_Frame* email_ = nullptr;
    Main_Menus* menus_ = nullptr;
    HTML_Help help_;

    Run_Handler run_handler_;
    Manual_Scan_Handler manual_handler_;
    QString marker_;
    bool unloaded_ = false;
    QPointer<QWidget> focus_before_run_;
    // The list is written back at the end only when it was read completely
    // and has changed since: a file that could not be read is never replaced
    // by the little that was understood, and lines skipped while loading
    // survive a session that changed nothing.
    bool list_loaded_ = false;
    std::vector<Contact_Folder_Record> loaded_list_;
};

} // namespace bc::windows
