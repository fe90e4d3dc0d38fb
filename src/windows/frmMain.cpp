#include "windows/frmMain.h"

#include "config/App_State.h"
#include "config/Identifier_Lists.h"
#include "config/Registry_Routines.h"
#include "config/User_Messages.h"
#include "engine/Processing_Flags.h"
#include "engine/Run_Journal.h"
#include "windows/Contact_Action_Frame.h"
#include "windows/Database_List.h"
#include "windows/Email_Actions_Frame.h"
#include "windows/Folder_Picker.h"
#include "windows/Help_Entries.h"
#include "windows/Input_Folder_Frame.h"
#include "windows/Log_Actions.h"
#include "windows/Log_Frame.h"
#include "windows/Main_Menus.h"
#include "windows/Option_Check_Box.h"
#include "windows/Schedule_Event_Frame.h"
#include "windows/Undo_Entry.h"
#include "windows/frmEditIdentifiers.h"
#include "windows/frmManageContacts.h"
#include "windows/frmSelectOutlookField.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

#include <exception>
#include <tuple>

namespace bc::windows {
namespace {

// A start-up step that cannot go on; the text is the problem's description.
struct Start_Up_Failure
{
    QString description;
};

int Twips(const QWidget* widget, int twips)
{
    return twips * widget->logicalDpiX() / 1440;
}

QPushButton* Button(const QString& name, const QString& caption, const QString& tip, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    if (!tip.isEmpty())
        button->setToolTip(tip);
    return button;
}

bool Same_Records(const std::vector<Contact_Folder_Record>& a, const std::vector<Contact_Folder_Record>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].Folder_Name != b[i].Folder_Name || a[i].Folder_Path != b[i].Folder_Path ||
            a[i].Entry_ID != b[i].Entry_ID || a[i].Store_ID != b[i].Store_ID)
            return false;
    }
    return true;
}

} // namespace

frmMain::frmMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Brindlecast"));
    Build_Window();
    Wire_Entries();
}

frmMain::~frmMain()
{
    delete menus_;
}

void frmMain::Build_Window()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("MainArea"));
    setCentralWidget(central);

    // The contact folders and their two buttons.
    auto* listTitle = new QLabel(QStringLiteral("Contact Folders"), central);
    listTitle->setObjectName(QStringLiteral("lblDatabases"));
    QFont bold = listTitle->font();
    bold.setBold(true);
    listTitle->setFont(bold);
    ListDatabases_ = new Database_List(central);
    listTitle->setBuddy(ListDatabases_);
    AddDatabase_ = Button(QStringLiteral("AddDatabase"), QStringLiteral("&Add Contact Folder"),
                          QStringLiteral("Add a Database"), central);
    RemoveThisDatabase_ =
        Button(QStringLiteral("RemoveThisDatabase"), QStringLiteral("&Remove Selected Folder (s)"),
               QStringLiteral("Remove Selected Databases"), central);
    auto* listButtons = new QHBoxLayout;
    listButtons->addWidget(AddDatabase_);
    listButtons->addWidget(RemoveThisDatabase_);
    listButtons->addStretch(1);
    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(listTitle);
    listColumn->addWidget(ListDatabases_, 1);
    listColumn->addLayout(listButtons);

    // The three processing entries under their heading.
    lblProcess_ = new QLabel(QStringLiteral("Process"), central);
    lblProcess_->setObjectName(QStringLiteral("lblProcess"));
    lblProcess_->setFont(bold);
    lblProcess_->setCursor(Qt::PointingHandCursor);
    lblProcess_->installEventFilter(this);
    ProcessCurrent_ = Button(QStringLiteral("ProcessCurrent"), QStringLiteral("&Selected"),
                             QStringLiteral("Process Emails against current database"), central);
    Scan_Selective_ = Button(QStringLiteral("Scan_Selective"), QStringLiteral("&Manual"),
                             QStringLiteral("Scan Selected Emails"), central);
    ScanEmails_ = Button(QStringLiteral("ScanEmails"), QStringLiteral("A&ll"),
                         QStringLiteral("Scan All Emails against All Databases"), central);
    auto* processColumn = new QVBoxLayout;
    processColumn->addWidget(lblProcess_);
    for (QPushButton* button : {ProcessCurrent_, Scan_Selective_, ScanEmails_}) {
        button->setMinimumWidth(Twips(this, 1500));
        processColumn->addWidget(button);
    }
    processColumn->addStretch(1);

    auto* top = new QHBoxLayout;
    top->addLayout(listColumn, 1);
    top->addSpacing(Twips(this, 120));
    top->addLayout(processColumn);

    // Five pages of options sharing one area under the tab strip.
    TabStrip1_ = new QTabBar(central);
    TabStrip1_->setObjectName(QStringLiteral("TabStrip1"));
    TabStrip1_->setExpanding(false);
    frames_ = new QStackedWidget(central);
    frames_->setObjectName(QStringLiteral("FrameArea"));
    contact_ = new Contact_Action_Frame(frames_);
    schedule_ = new Schedule_Event_Frame(frames_);
    log_ = new Log_Frame(frames_);
    inbox_ = new Input_Folder_Frame(frames_);
    email_ = new Email_Actions_Frame(frames_);
    // Key, caption with its mnemonic, page. The mnemonics leave a letter to
    // every button and check box of the pages.
    const std::tuple<QString, QString, QWidget*> pages[] = {
        {QStringLiteral("Contact Action"), QStringLiteral("C&ontact Action"), contact_},
        {QStringLiteral("Schedule Event"), QStringLiteral("Schedule E&vent"), schedule_},
        {QStringLiteral("Log"), QStringLiteral("Lo&g"), log_},
        {QStringLiteral("Input Folder"), QStringLiteral("Inp&ut Folder"), inbox_},
        {QStringLiteral("Email Actions"), QStringLiteral("Ema&il Actions"), email_},
    };
    for (const auto& [key, caption, frame] : pages) {
        const int index = TabStrip1_->addTab(caption);
        TabStrip1_->setTabData(index, key);
        frames_->addWidget(frame);
    }
    auto* options = new QVBoxLayout;
    options->setSpacing(0);
    options->addWidget(TabStrip1_);
    options->addWidget(frames_);

    CloseBrindlecast_ =
        Button(QStringLiteral("CloseBrindlecast"), QStringLiteral("&Close"), QString(), central);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(CloseBrindlecast_);

    auto* root = new QVBoxLayout(central);
    root->addLayout(top, 1);
    root->addSpacing(Twips(this, 120));
    root->addLayout(options);
    root->addLayout(bottom);

    menus_ = new Main_Menus(this);

    setMinimumSize(Twips(this, 9000), Twips(this, 7800));
    resize(Twips(this, 10800), Twips(this, 8700));
}

void frmMain::Wire_Entries()
{
    connect(AddDatabase_, &QPushButton::clicked, ListDatabases_, &Database_List::Add_Contact_Folder);
    connect(RemoveThisDatabase_, &QPushButton::clicked, ListDatabases_,
            &Database_List::Remove_Selected_Folders);

    connect(ScanEmails_, &QPushButton::clicked, this, &frmMain::Run_All);
    connect(ProcessCurrent_, &QPushButton::clicked, this, &frmMain::Run_Selected);
    connect(Scan_Selective_, &QPushButton::clicked, this, &frmMain::Run_Manual);
    connect(menus_->mnuProcessAll, &QAction::triggered, this, &frmMain::Run_All);
    connect(menus_->mnuProcessCurrent, &QAction::triggered, this, &frmMain::Run_Selected);
    connect(menus_->mnuProcessSelective, &QAction::triggered, this, &frmMain::Run_Manual);
    connect(menus_->mnuPreviewRun, &QAction::triggered, this, &frmMain::Run_Preview);
    connect(menus_->mnuUndoLastRun, &QAction::triggered, this, [] { Undo_Last_Run_Entry(); });

    connect(CloseBrindlecast_, &QPushButton::clicked, this, &QWidget::close);
    connect(menus_->ExitConvert, &QAction::triggered, this, &QWidget::close);

    auto* openLog = new QAction(this);
    openLog->setObjectName(QStringLiteral("OpenLogShortcut"));
    openLog->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    connect(openLog, &QAction::triggered, this, [this] { Open_Log(this); });
    addAction(openLog);
    log_->Open_Button()->setToolTip(openLog->shortcut().toString(QKeySequence::NativeText));
    // Ctrl+Tab and Ctrl+PgDn go through the option pages, as in other
    // programs with tabs; with Shift or PgUp backwards.
    const auto tabKeys = [this](const char* name, QList<QKeySequence> keys, int step) {
        auto* action = new QAction(this);
        action->setObjectName(QLatin1String(name));
        action->setShortcuts(keys);
        connect(action, &QAction::triggered, this, [this, step] {
            const int count = TabStrip1_->count();
            TabStrip1_->setCurrentIndex((TabStrip1_->currentIndex() + step + count) % count);
        });
        addAction(action);
    };
    tabKeys("NextTab", {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)}, 1);
    tabKeys("PreviousTab",
            {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
            -1);

    connect(&engine::Run_Notifier(), &engine::Run_Events::Run_Changed, this, &frmMain::Run_Changed);
    if (engine::Flags().Run_In_Progress)
        Run_Changed(true);

    // Clicking the tab already shown must keep its page, and keyboard
    // navigation changes the tab without a click: both end up here.
    connect(TabStrip1_, &QTabBar::tabBarClicked, this, &frmMain::Tab_Click);
    connect(TabStrip1_, &QTabBar::currentChanged, this, &frmMain::Tab_Click);

    connect(menus_->mnuManageContacts, &QAction::triggered, this,
            [this] { frmManageContacts::Open(Choices(), this); });
    connect(menus_->mnuEditReturnIdentifiers, &QAction::triggered, this,
            [this] { frmEditReturn::Open(this); });
    connect(menus_->mnuNoCheckAddresses, &QAction::triggered, this, [this] { frmEditNoCheck::Open(this); });
    Connect_Help_Entries(this, *menus_, help_);
    connect(contact_->Select_Field_Button(), &QPushButton::clicked, this,
            [this] { frmSelectOutlookField::Pick(contact_->Field_Box(), this); });
}

bool frmMain::Load(const QString& commandLine)
{
    App().Auto_Run = !commandLine.trimmed().isEmpty();
    bool started = true;
    try {
        Start_Up_Steps();
    } catch (const Start_Up_Failure& failure) {
        started = false;
        Messages().Show_Message(QStringLiteral("Error: ") + marker_ + QStringLiteral(" Problem: ") +
                                failure.description);
    } catch (const std::exception& error) {
        started = false;
        Messages().Show_Message(QStringLiteral("Error: ") + marker_ + QStringLiteral(" Problem: ") +
                                QString::fromLocal8Bit(error.what()));
    }

    if (App().Auto_Run) {
        // Half-restored options must not drive an unattended run.
        if (started)
            Run_All();
        Unload();
        return started;
    }
    // Help is there even when the start-up stopped half-way.
    help_.Set_Help_File(this);
    show();
    ListDatabases_->setFocus();
    return started;
}

void frmMain::Start_Up_Steps()
{
    marker_ = QStringLiteral("100004");
    Set_Data_Folder();

    marker_ = QStringLiteral("100021");
    Setup_Search_Strings();

    marker_ = QStringLiteral("100023");
    inbox_->Picker()->Restore();
    marker_ = QStringLiteral("100027");
    email_->Destination()->Restore();

    const QString disposal = Get_Setting(Email_What_To_Do);
    if (disposal == QLatin1String("1")) {
        marker_ = QStringLiteral("100028");
        email_->Restore_Disposal(1);
    } else if (disposal == QLatin1String("2")) {
        marker_ = QStringLiteral("100029");
        email_->Restore_Disposal(2);
    } else if (disposal == QLatin1String("3")) {
        marker_ = QStringLiteral("100030");
        email_->Restore_Disposal(3);
    }

    marker_ = QStringLiteral("100031");
    contact_->Restore_Create_A_Note();

    marker_ = QStringLiteral("100032");
    Show_Frame(contact_);
    schedule_->Restore_Texts();

    marker_ = QStringLiteral("100033");
    schedule_->Restore_Ring_Alarm();
    log_->Restore_Logging();

    marker_ = QStringLiteral("100034");
    Show_Frame(contact_);
    // The start-up is the list's only loader; a window loaded again (tests)
    // must not add the records twice.
    Folders().Contact_Folder_List.clear();
    QString error;
    // Said at once: the list is not written back over a file it could not
    // read, so folders added in this session will not be kept.
    if (!Load_Contact_Folder_List(&error))
        throw Start_Up_Failure{error +
                               QStringLiteral("\r\nThe contact folder list could not be loaded; changes to "
                                              "it in this session will not be saved over this file.")};
    list_loaded_ = true;
    loaded_list_ = Folders().Contact_Folder_List;
    ListDatabases_->Fill_From_Folders();
    Setup_No_Check();

    contact_->Restore_Contact_Action();
}

void frmMain::Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    if (!App().Auto_Run && List_Changed_Since_Load()) {
        QString error;
        if (!Save_Contact_Folder_List(&error))
            Messages().Show_Message(QStringLiteral("Error on Unload: ") + error);
    }
    // A run under way inside a yield stops at its next check point; the
    // program ends when it has unwound.
    if (engine::Flags().Run_In_Progress || engine::Flags().Processing_Active)
        engine::Flags().Abort_Requested = true;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* other : windows) {
        if (other != this && other->isVisible())
            other->close();
    }
    hide();
    Q_EMIT Program_Ended();
}

bool frmMain::List_Changed_Since_Load() const
{
    return list_loaded_ && !Same_Records(loaded_list_, Folders().Contact_Folder_List);
}

void frmMain::closeEvent(QCloseEvent* event)
{
    Unload();
    event->accept();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lblProcess_ && event->type() == QEvent::MouseButtonRelease) {
        Open_Maker_Site(this);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::Run_Changed(bool running)
{
    // While a run or manual processing goes on, nothing that would start
    // another or change the databases and folders it works on.
    const bool enabled = !running;
    if (running) {
        QWidget* focused = QApplication::focusWidget();
        focus_before_run_ = focused && focused->window() == this ? focused : nullptr;
    }
    for (QWidget* entry :
         {static_cast<QWidget*>(ScanEmails_), static_cast<QWidget*>(ProcessCurrent_),
          static_cast<QWidget*>(Scan_Selective_), static_cast<QWidget*>(AddDatabase_),
          static_cast<QWidget*>(RemoveThisDatabase_), static_cast<QWidget*>(inbox_->Picker()),
          static_cast<QWidget*>(email_->Destination())})
        entry->setEnabled(enabled);
    for (QAction* entry : {menus_->mnuProcessAll, menus_->mnuProcessCurrent, menus_->mnuProcessSelective,
                           ListDatabases_->Add_Action(), ListDatabases_->Remove_Action()})
        entry->setEnabled(enabled);
    // Disabling the focused button moved the focus on; give it back.
    if (!running && focus_before_run_ && focus_before_run_->isEnabled() && isActiveWindow())
        focus_before_run_->setFocus(Qt::OtherFocusReason);
}

bool frmMain::Entry_Blocked() const
{
    // The entries stay clickable while a run yields; a second run inside the
    // first would replace the lists the first is still working through.
    return engine::Flags().Run_In_Progress;
}

void frmMain::Run_All()
{
    if (Entry_Blocked())
        return;
    if (ListDatabases_->topLevelItemCount() == 0) {
        Messages().Show_Message(QStringLiteral("No database have been setup!"));
        return;
    }
    if (run_handler_)
        run_handler_(*this, false);
    else
        Not_Available(QStringLiteral("Processing"));
}

void frmMain::Run_Preview()
{
    // "All" itself, with the profile refusing every write for its length.
    const engine::Preview_Request preview;
    Run_All();
}

void frmMain::Run_Selected()
{
    if (Entry_Blocked())
        return;
    // Without a selected row the run would process no database and still
    // move every returned message away: refused like a missing current row.
    if (!ListDatabases_->Has_Current_Row() || ListDatabases_->selectedItems().isEmpty()) {
        Messages().Show_Message(QStringLiteral("No database has been selected! Select a database first."));
        return;
    }
    if (run_handler_)
        run_handler_(*this, true);
    else
        Not_Available(QStringLiteral("Processing"));
}

void frmMain::Run_Manual()
{
    if (Entry_Blocked())
        return;
    if (ListDatabases_->selectedItems().isEmpty()) {
        Messages().Show_Message(QStringLiteral(
            "No database has been selected. Please select a database(s) to process on the main screen."));
        return;
    }
    if (manual_handler_)
        manual_handler_(*this);
    else
        Not_Available(QStringLiteral("Manual processing"));
}

void frmMain::Not_Available(const QString& function)
{
    Messages().Show_Message(function + QStringLiteral(" is not available yet."));
}

void frmMain::Tab_Click(int index)
{
    const QString key = TabStrip1_->tabData(index).toString();
    QWidget* frame = key == QLatin1String("Contact Action")   ? static_cast<QWidget*>(contact_)
                     : key == QLatin1String("Schedule Event") ? static_cast<QWidget*>(schedule_)
                     : key == QLatin1String("Log")            ? static_cast<QWidget*>(log_)
                     : key == QLatin1String("Input Folder")   ? static_cast<QWidget*>(inbox_)
                     : key == QLatin1String("Email Actions")  ? static_cast<QWidget*>(email_)
                                                              : nullptr;
    if (frame)
        frames_->setCurrentWidget(frame);
}

void frmMain::Show_Frame(QWidget* frame)
{
    frames_->setCurrentWidget(frame);
    TabStrip1_->setCurrentIndex(frames_->indexOf(frame));
}

QString frmMain::Current_Frame_Key() const
{
    return TabStrip1_->tabData(frames_->currentIndex()).toString();
}

int frmMain::Contact_Delete() const
{
    return contact_->Delete_Box()->Value();
}
int frmMain::Create_A_Note() const
{
    return contact_->Note_Box()->Value();
}
int frmMain::Clear_Email_Address() const
{
    return contact_->Clear_Address_Box()->Value();
}
int frmMain::Set_Field_In_Contact() const
{
    return contact_->Set_Field_Box()->Value();
}
QString frmMain::Field_To_Be_Set() const
{
    return contact_->Field_Box()->text();
}
QString frmMain::Field_Value() const
{
    return contact_->Value_Box()->text();
}
QString frmMain::Event_Text() const
{
    return schedule_->Event_Combo()->currentText();
}

} // namespace bc::windows
