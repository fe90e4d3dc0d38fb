// The contact folder list: filling, sorting, selection keys, the pop-up
// menu, adding folders through the folder dialog and removing rows with key
// renumbering.

#include "Folder_Test_Profile.h"
#include "config/Contact_Folder_List.h"
#include "outlook/Outlook_Session.h"
#include "windows/Database_List.h"
#include "windows/Message_Box.h"
#include "windows/frmPickFolder.h"

#include <QAction>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <memory>

using bc::windows::Database_List;
using bc::windows::frmPickFolder;
using bc::windows::Message_Box;

namespace {

bc::Contact_Folder_Record Record(const QString& name, const QString& path = QStringLiteral("Store"))
{
    return {name, path, bc::test::Folder_Entry_ID(name), bc::test::kPersonalStoreId};
}

QStringList Folder_Column(const Database_List& list)
{
    QStringList names;
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        names << list.topLevelItem(i)->text(Database_List::Column_Folder);
    return names;
}

QStringList Record_Names()
{
    QStringList names;
    for (const auto& r : bc::Folders().Contact_Folder_List)
        names << r.Folder_Name;
    return names;
}

QTreeWidgetItem* Row_Named(const Database_List& list, const QString& name)
{
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        if (list.topLevelItem(i)->text(Database_List::Column_Folder) == name)
            return list.topLevelItem(i);
    return nullptr;
}

// Every row's key must name the record it shows.
bool Keys_Match_Records(const Database_List& list)
{
    const auto& records = bc::Folders().Contact_Folder_List;
    if (list.topLevelItemCount() != static_cast<int>(records.size()))
        return false;
    QSet<int> seen;
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = list.topLevelItem(i);
        const int index = Database_List::Record_Index(row);
        if (index < 0 || index >= static_cast<int>(records.size()) || seen.contains(index))
            return false;
        seen.insert(index);
        const auto& r = records[static_cast<size_t>(index)];
        if (r.Folder_Name != row->text(Database_List::Column_Folder) ||
            r.Folder_Path != row->text(Database_List::Column_Path))
            return false;
    }
    return true;
}

void Click_Header(Database_List& list, int section)
{
    QHeaderView* header = list.header();
    const QPoint at(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

void Click_Row(Database_List& list, QTreeWidgetItem* row, Qt::KeyboardModifiers modifiers = {})
{
    const QRect r = list.visualItemRect(row);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, modifiers,
                      QPoint(list.columnViewportPosition(Database_List::Column_Folder) + 5, r.center().y()));
}

} // namespace

class Test_Database_List : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<bc::test::Temp_Home> home_;
    // The list in a window beside another control.
    std::unique_ptr<QWidget> window_;
    Database_List* list_ = nullptr;
    QLineEdit* other_ = nullptr;

    void Fill(const QStringList& names)
    {
        bc::Folders().Contact_Folder_List.clear();
        for (const QString& n : names)
            bc::Folders().Contact_Folder_List.push_back(Record(n, QStringLiteral("Path of ") + n));
        list_->Fill_From_Folders();
    }

    void Select_Only(const QStringList& names)
    {
        list_->clearSelection();
        for (const QString& n : names)
            Row_Named(*list_, n)->setSelected(true);
    }

private Q_SLOTS:
    void initTestCase()
    {
        bc::windows::Install_Message_Boxes();
        // Boxes nobody queued an answer for are recorded, not waited on.
        Message_Box::setUnattended(true);
    }

    void init()
    {
        home_ = std::make_unique<bc::test::Temp_Home>();
        bc::test::Make_Folder_Test_Profile(*home_);
        frmPickFolder::clearNextAnswers();
        Message_Box::clearShown();
        QVERIFY(bc::outlook::Start_Outlook());
        bc::Folders().Contact_Folder_List.clear();
        window_ = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window_.get());
        other_ = new QLineEdit(window_.get());
        list_ = new Database_List(window_.get());
        layout->addWidget(other_);
        layout->addWidget(list_);
        window_->resize(600, 300);
        window_->show();
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }

    void cleanup()
    {
        window_.reset();
        home_.reset();
    }

    void columnsAndNames()
    {
        QCOMPARE(list_->objectName(), QStringLiteral("ListDatabases"));
        QCOMPARE(list_->columnCount(), 3);
        QCOMPARE(list_->headerItem()->text(0), QString());
        QCOMPARE(list_->headerItem()->text(1), QStringLiteral("Folder"));
        QCOMPARE(list_->headerItem()->text(2), QStringLiteral("Path"));
        QVERIFY(!list_->rootIsDecorated());
        QCOMPARE(list_->selectionMode(), QAbstractItemView::ExtendedSelection);
        const double perTwip = list_->logicalDpiX() / 1440.0;
        QVERIFY(list_->columnWidth(0) <= 2);
        QVERIFY(qAbs(list_->columnWidth(1) - 2000 * perTwip) <= 1.0);
        // The path column takes the rest of the visible width (at least the
        // folder column's), so no horizontal scroll bar shows, and follows
        // the list's width.
        const auto restOfWidth = [&] {
            return std::max(list_->columnWidth(1),
                            list_->viewport()->width() - list_->columnWidth(0) - list_->columnWidth(1));
        };
        QCOMPARE(list_->columnWidth(2), restOfWidth());
        window_->resize(900, 300);
        QTRY_COMPARE(list_->columnWidth(2), restOfWidth());
        QVERIFY(list_->columnWidth(2) > list_->columnWidth(1));
        QVERIFY(!list_->horizontalScrollBar()->isVisible());
    }

    void fillSortsByFolderAndMakesFirstRowCurrent()
    {
        Fill({"delta", "Alpha", "charlie", "Bravo"});
        QCOMPARE(Folder_Column(*list_), QStringList({"Alpha", "Bravo", "charlie", "delta"}));
        QCOMPARE(list_->topLevelItem(0)->data(0, Database_List::kKeyRole).toString(), QStringLiteral("key1"));
        QCOMPARE(list_->topLevelItem(3)->data(0, Database_List::kKeyRole).toString(), QStringLiteral("key0"));
        QCOMPARE(list_->topLevelItem(0)->text(0), QString());
        QCOMPARE(list_->topLevelItem(0)->text(2), QStringLiteral("Path of Alpha"));
        QVERIFY(Keys_Match_Records(*list_));
        QCOMPARE(list_->Current_Row(), list_->topLevelItem(0));
        QVERIFY(list_->topLevelItem(0)->isSelected());
        QCOMPARE(list_->selectedItems().size(), 1);
        QCOMPARE(list_->Sort_Column(), int(Database_List::Column_Folder));
        QCOMPARE(list_->Sort_Order(), Qt::AscendingOrder);

        // A refill replaces the rows; an empty list has no current row.
        Fill({});
        QCOMPARE(list_->topLevelItemCount(), 0);
        QVERIFY(!list_->Has_Current_Row());
    }

    void headerClicksFlipOrKeepTheOrderAndRowsFollow()
    {
        bc::Folders().Contact_Folder_List = {Record("b", "y"), Record("a", "z"), Record("c", "x")};
        list_->Fill_From_Folders();
        QCOMPARE(Folder_Column(*list_), QStringList({"a", "b", "c"}));

        Click_Header(*list_, Database_List::Column_Folder); // same column: flips
        QCOMPARE(list_->Sort_Order(), Qt::DescendingOrder);
        QCOMPARE(Folder_Column(*list_), QStringList({"c", "b", "a"}));

        Click_Header(*list_, Database_List::Column_Path); // new column: keeps descending
        QCOMPARE(list_->Sort_Column(), int(Database_List::Column_Path));
        QCOMPARE(list_->Sort_Order(), Qt::DescendingOrder);
        QCOMPARE(Folder_Column(*list_), QStringList({"a", "b", "c"})); // z, y, x

        Click_Header(*list_, Database_List::Column_Path); // flips back
        QCOMPARE(list_->Sort_Order(), Qt::AscendingOrder);
        QCOMPARE(Folder_Column(*list_), QStringList({"c", "b", "a"})); // x, y, z

        QVERIFY(Keys_Match_Records(*list_));
        // Sorting moves rows, not the current row.
        QCOMPARE(list_->Current_Row()->text(1), QStringLiteral("a"));

        // Rows() reports the display order, the selection and the keys.
        Select_Only({"c", "a"});
        const auto rows = list_->Rows();
        QCOMPARE(rows.size(), size_t(3));
        QCOMPARE(rows[0].Folder_Name + rows[0].Key, QStringLiteral("ckey2"));
        QCOMPARE(rows[1].Folder_Name + rows[1].Key, QStringLiteral("bkey0"));
        QCOMPARE(QList<bool>({rows[0].Selected, rows[1].Selected, rows[2].Selected}),
                 QList<bool>({true, false, true}));
    }

    void clickMakesTheRowCurrentAndCtrlASelectsAll()
    {
        Fill({"one", "two", "three"});
        QSignalSpy changed(list_, &Database_List::Current_Row_Changed);
        QTreeWidgetItem* two = Row_Named(*list_, "two");
        Click_Row(*list_, two);
        QCOMPARE(list_->Current_Row(), two);
        QCOMPARE(changed.count(), 1);
        // Ctrl+click adds to the selection and moves the current row too.
        QTreeWidgetItem* one = Row_Named(*list_, "one");
        Click_Row(*list_, one, Qt::ControlModifier);
        QCOMPARE(list_->Current_Row(), one);
        QCOMPARE(list_->selectedItems().size(), 2);

        // Ctrl+A selects all, Ctrl+Shift+A and Ctrl+Alt+A do not.
        list_->clearSelection();
        other_->setFocus();
        QTRY_VERIFY(other_->hasFocus());

        QTest::keyClick(list_, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(list_->selectedItems().size(), 0);
        QTest::keyClick(list_, Qt::Key_A, Qt::AltModifier | Qt::ControlModifier);
        QCOMPARE(list_->selectedItems().size(), 0);

        QTest::keyClick(list_, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(list_->selectedItems().size(), 3);
        QTRY_VERIFY(list_->hasFocus());
        // Select-all does not pick a new current row.
        QCOMPARE(list_->Current_Row()->text(1), QStringLiteral("one"));
    }

    void rightClickShowsThePopupMenu()
    {
        Fill({"one"});
        QMenu* menu = list_->Popup_Menu();
        QCOMPARE(menu->objectName(), QStringLiteral("mnuDatabase"));
        const QList<QAction*> actions = menu->actions();
        QCOMPARE(actions.size(), 4);
        QCOMPARE(actions[0]->objectName(), QStringLiteral("mnuDatabaseAdd"));
        QCOMPARE(actions[0]->text(), QStringLiteral("Add Contact Folder"));
        QVERIFY(actions[1]->isSeparator());
        QCOMPARE(actions[2]->objectName(), QStringLiteral("mnuRemoveDatabase"));
        QCOMPARE(actions[2]->text(), QStringLiteral("Remove Selected Folders"));
        QCOMPARE(actions[3]->text(), QStringLiteral("Divider"));
        QVERIFY(!actions[3]->isVisible());

        QVERIFY(!menu->isVisible());
        QTest::mouseClick(list_->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!menu->isVisible());
        QTest::mouseClick(list_->viewport(), Qt::RightButton, {}, QPoint(20, 60));
        QTRY_VERIFY(menu->isVisible());
        menu->hide();

        // The entries run the list's own operations.
        Message_Box::setNextAnswer(QMessageBox::No);
        list_->Remove_Action()->trigger();
        QCOMPARE(Message_Box::shown(),
                 QStringList({QStringLiteral("This will remove all selected databases on your list.")}));
        frmPickFolder::setNextAnswer(frmPickFolder::Folder_At(QStringLiteral("Personal Folders/Contacts")));
        list_->Add_Action()->trigger();
        QCOMPARE(Record_Names(), QStringList({"one", "Contacts"}));
    }

    void addAppendsARecordAndARow()
    {
        Fill({"Zulu", "Alpha"});
        Click_Row(*list_, Row_Named(*list_, "Zulu"));
        other_->setFocus();
        QTRY_VERIFY(other_->hasFocus());

        frmPickFolder::setNextAnswer(
            frmPickFolder::Folder_At(QStringLiteral("Personal Folders/Archive/Old Contacts")));
        list_->Add_Contact_Folder();
        QCOMPARE(Message_Box::shown(), QStringList());
        // The dialog asked for a contact folder, opened on the current row's.
        QCOMPARE(frmPickFolder::Last_Request().Title, QStringLiteral("Select Contact Folder"));
        QCOMPARE(frmPickFolder::Last_Request().Message_Class, QStringLiteral("IPM.Contact"));
        QCOMPARE(frmPickFolder::Last_Request().Entry_ID, bc::Folders().Contact_Folder_List[0].Entry_ID);
        QCOMPARE(bc::Folders().Contact_Folder_Count(), 3);
        const bc::Contact_Folder_Record& added = bc::Folders().Contact_Folder_List[2];
        QCOMPARE(added.Folder_Name, QStringLiteral("Old Contacts"));
        QCOMPARE(added.Folder_Path, QStringLiteral("Personal Folders->Archive"));
        QCOMPARE(added.Entry_ID, bc::test::Folder_Entry_ID(QStringLiteral("Archive/Old Contacts")));
        QCOMPARE(added.Store_ID, bc::test::kPersonalStoreId);

        QTreeWidgetItem* row = Row_Named(*list_, "Old Contacts");
        QVERIFY(row);
        QCOMPARE(row->data(0, Database_List::kKeyRole).toString(), QStringLiteral("key2"));
        QCOMPARE(row->text(2), QStringLiteral("Personal Folders->Archive"));
        QCOMPARE(Folder_Column(*list_), QStringList({"Alpha", "Old Contacts", "Zulu"}));
        QCOMPARE(list_->selectedItems().size(), 0);
        QTRY_VERIFY(list_->hasFocus());
        QCOMPARE(list_->Current_Row()->text(1), QStringLiteral("Zulu"));

        // A folder of the second store keeps that store's id; the same folder
        // twice gives two records and two rows with keys of their own.
        for (int i = 0; i < 2; ++i) {
            frmPickFolder::setNextAnswer(frmPickFolder::Folder_At(QStringLiteral("Shared Store/Team")));
            list_->Add_Contact_Folder();
        }
        QCOMPARE(bc::Folders().Contact_Folder_List[3].Store_ID, bc::test::kSharedStoreId);
        QCOMPARE(bc::Folders().Contact_Folder_List[3].Folder_Path, QStringLiteral("Shared Store"));
        QCOMPARE(Record_Names(), QStringList({"Zulu", "Alpha", "Old Contacts", "Team", "Team"}));
        QCOMPARE(bc::Folders().Contact_Folder_List[4].Entry_ID,
                 bc::Folders().Contact_Folder_List[3].Entry_ID);
        QVERIFY(Keys_Match_Records(*list_));
    }

    void addRefusesOtherFoldersAndCancel()
    {
        Fill({"one"});
        frmPickFolder::setNextAnswer(frmPickFolder::Folder_At(QStringLiteral("Personal Folders/Inbox")));
        list_->Add_Contact_Folder();
        QCOMPARE(Message_Box::shown(), QStringList({QStringLiteral("Choose a contact Folder Store")}));
        frmPickFolder::setNextAnswer(frmPickFolder::Folder_At(QStringLiteral("Personal Folders/Tasks")));
        list_->Add_Contact_Folder();
        QCOMPARE(Message_Box::shown().size(), 2);
        QCOMPARE(Message_Box::shown().last(), QStringLiteral("Choose a contact Folder Store"));

        Message_Box::clearShown();
        frmPickFolder::setNextAnswer([](bc::outlook::Name_Space&) { return frmPickFolder::Folder(); });
        list_->Add_Contact_Folder();
        QCOMPARE(Message_Box::shown(), QStringList());
        QCOMPARE(Record_Names(), QStringList({"one"}));
        QCOMPARE(list_->topLevelItemCount(), 1);
        QVERIFY(list_->topLevelItem(0)->isSelected()); // a refused add leaves the selection
    }

    void removeAsksAndRemovesOnlyOnYes()
    {
        Fill({"a", "b", "c"});
        Select_Only({"b"});
        Message_Box::setNextAnswer(QMessageBox::No);
        list_->Remove_Selected_Folders();
        QCOMPARE(Message_Box::shown(),
                 QStringList({QStringLiteral("This will remove all selected databases on your list.")}));
        QCOMPARE(Record_Names(), QStringList({"a", "b", "c"}));
        QCOMPARE(list_->topLevelItemCount(), 3);

        // No row selected: still asks, and Yes changes nothing.
        list_->clearSelection();
        const auto before = list_->Rows();
        Message_Box::setNextAnswer(QMessageBox::Yes);
        list_->Remove_Selected_Folders();
        QCOMPARE(Message_Box::shown().size(), 2);
        QCOMPARE(Record_Names(), QStringList({"a", "b", "c"}));
        const auto after = list_->Rows();
        QCOMPARE(after.size(), before.size());
        for (size_t i = 0; i < after.size(); ++i)
            QCOMPARE(after[i].Key, before[i].Key);
    }

    void removeTwoThenAThirdRemovesExactlyThoseThree()
    {
        // Records in an order different from the display order, so the keys
        // really have to be renumbered.
        Fill({"e", "b", "g", "a", "f", "c", "d"});
        Select_Only({"b", "f"});
        Message_Box::setNextAnswer(QMessageBox::Yes);
        list_->Remove_Selected_Folders();
        QCOMPARE(Record_Names(), QStringList({"e", "g", "a", "c", "d"}));
        QCOMPARE(Folder_Column(*list_), QStringList({"a", "c", "d", "e", "g"}));
        QVERIFY(Keys_Match_Records(*list_));

        Select_Only({"c"});
        Message_Box::setNextAnswer(QMessageBox::Yes);
        list_->Remove_Selected_Folders();
        QCOMPARE(Record_Names(), QStringList({"e", "g", "a", "d"}));
        QCOMPARE(Folder_Column(*list_), QStringList({"a", "d", "e", "g"}));
        QVERIFY(Keys_Match_Records(*list_));
        QCOMPARE(bc::Folders().Contact_Folder_Count(), 4);
    }

    void removingTheCurrentRowLeavesNone()
    {
        Fill({"a", "b", "c"});
        Click_Row(*list_, Row_Named(*list_, "b"));
        QCOMPARE(list_->Current_Row()->text(1), QStringLiteral("b"));

        Select_Only({"a", "c"});
        Message_Box::setNextAnswer(QMessageBox::Yes);
        list_->Remove_Selected_Folders();
        QVERIFY(list_->Has_Current_Row());
        QCOMPARE(list_->Current_Row()->text(1), QStringLiteral("b"));

        QSignalSpy changed(list_, &Database_List::Current_Row_Changed);
        Select_Only({"b"});
        Message_Box::setNextAnswer(QMessageBox::Yes);
        list_->Remove_Selected_Folders();
        QVERIFY(!list_->Has_Current_Row());
        QCOMPARE(list_->Current_Row(), nullptr);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(list_->topLevelItemCount(), 0);
        QCOMPARE(bc::Folders().Contact_Folder_Count(), 0);
    }
};

QTEST_MAIN(Test_Database_List)
#include "test_database_list.moc"
