#pragma once
// The folder dialog: every store of the session as a tree of folder names,
// each with an icon of its kind, OK and Cancel. Subfolders are listed when
// their parent is opened, so a large mail tree does not have to be read up
// front. Asked for one kind of folder, it greys out the others (they cannot
// be chosen) and opens on the folder chosen so far, or the default one.

#include "outlook/Object_Model.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;
class QDialogButtonBox;

namespace bc::windows {

class frmPickFolder : public QDialog
{
    Q_OBJECT

public:
    using Folder = std::shared_ptr<outlook::Mapi_Folder>;
    using Answer = std::function<Folder(outlook::Name_Space&)>;

    // What is being picked.
    struct Request
    {
        QString Title = QStringLiteral("Select Folder");
        // The kind that can be chosen ("IPM.Note", "IPM.Contact"); empty: any.
        QString Message_Class;
        // The folder chosen so far, opened on; when there is none, the
        // session's default folder of Default_Kind (an olFolder... value), or
        // with 0 the first folder of the kind in the default store.
        QString Entry_ID;
        QString Store_ID;
        int Default_Kind = 0;
    };

    // Lists the stores; throws outlook::Outlook_Error when the session
    // cannot list them.
    explicit frmPickFolder(outlook::Name_Space& session, QWidget* parent = nullptr);
    frmPickFolder(outlook::Name_Space& session, const Request& request, QWidget* parent = nullptr);

    // The folder of the selected tree row; nullptr when none is selected.
    Folder Selected_Folder() const;

    QTreeWidget* Tree() const { return tree_; } // object name "FolderTree"

    // Shows the dialog modally: the chosen folder, or nullptr when cancelled.
    // Session failures propagate as outlook::Outlook_Error.
    static Folder PickFolder(outlook::Name_Space& session, QWidget* parent = nullptr);
    static Folder PickFolder(outlook::Name_Space& session, const Request& request, QWidget* parent = nullptr);
    // Starts the mail session and lets the user pick a folder of the
    // request's kind. nullptr after the message the program shows when the
    // session cannot start or the folder is of another kind, and when
    // nothing was picked. Session failures propagate as exceptions.
    static Folder Pick_Folder_Of_Class(QWidget* parent, const Request& request,
                                       const QString& wrongKindMessage);

    // Test hook: the next PickFolder call does not show the dialog and
    // returns what `answer` gives for the session (nullptr = cancelled).
    // Answers queue up in order.
    static void setNextAnswer(Answer answer);
    static void clearNextAnswers();
    // An answer that picks a folder by its names from the store down,
    // joined by "/" (e.g. "Personal Folders/Contacts"); nullptr if absent.
    static Answer Folder_At(const QString& path);
    // The request of the last PickFolder call, answered by the hook or not.
    static const Request& Last_Request();

private:
    void List_Children(QTreeWidgetItem* row);
    QTreeWidgetItem* Add_Row(QTreeWidgetItem* parent, const Folder& folder);
    Folder Start_Folder(outlook::Name_Space& session) const;
    QTreeWidgetItem* Row_Of(const Folder& folder);
    Folder Folder_Of(const QTreeWidgetItem* row) const;

    Request request_;
    QTreeWidget* tree_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
    std::vector<Folder> folders_; // row data holds an index into this
};

} // namespace bc::windows
