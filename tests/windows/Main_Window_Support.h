#pragma once
// Shared by the main window's tests: a settings file written by hand before
// the window opens, widget lookup by object name, and the settings read back.

#include "config/Registry_Routines.h"
#include "support/Temp_Home.h"
#include "windows/Message_Box.h"
#include "windows/Option_Check_Box.h"
#include "windows/frmMain.h"

#include <QCoreApplication>
#include <QTabBar>
#include <QTest>
#include <QTreeWidget>
#include <QWidget>

#include <memory>

namespace bc::test {

// The REGEDIT4 text of the program's key with the given value lines, e.g.
// "\"Contact_Action\"=dword:00000001".
inline void Write_Settings(const Temp_Home& home, const QStringList& values)
{
    QByteArray text = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Brindlecast]\r\n";
    for (const QString& line : values)
        text += line.toUtf8() + "\r\n";
    home.Write(QStringLiteral("config/Brindlecast/registry.reg"), text);
}

inline QString Stored(qint16 selector)
{
    return Get_Setting(selector);
}

inline QStringList Stored(std::initializer_list<qint16> selectors)
{
    QStringList values;
    for (qint16 selector : selectors)
        values << Get_Setting(selector);
    return values;
}

template <typename T> T* Find(const QWidget* window, const char* name)
{
    T* widget = window->findChild<T*>(QLatin1String(name));
    if (!widget)
        qWarning("no %s named %s", T::staticMetaObject.className(), name);
    return widget;
}

inline windows::Option_Check_Box* Box(const QWidget* window, const char* name)
{
    return Find<windows::Option_Check_Box>(window, name);
}

// The contact action boxes (delete, set field, clear address, note) and the
// disposal boxes (leave, delete, move), in that order.
inline const QStringList kContactBoxes = {"chkContactDelete", "chkSet_Field_In_Contact",
                                          "chkClearEmailAddress", "chkCreateanote"};
inline const QStringList kDisposalBoxes = {"chkOutlookLeaveMessage", "chkOutlookRemoveMessage",
                                           "chkOutlookMoveMessage"};

// The controls that follow the set-field box and the move box.
inline const char* const kFieldControls[] = {"txtFieldToBeSet", "txtValue", "lblField", "lblFieldValue",
                                             "SelectField"};
inline const char* const kDestinationControls[] = {
    "lblOutlookDestinationFolder", "txtOutlookDestinationFolder", "PickDestFolder", "ClearDestFolder"};

template <size_t N> bool All_Enabled(const QWidget* window, const char* const (&names)[N], bool enabled)
{
    for (const char* name : names) {
        if (Find<QWidget>(window, name)->isEnabled() != enabled)
            return false;
    }
    return true;
}

// The values of the named boxes, in order.
inline QList<int> Values(const QWidget* window, const QStringList& boxes)
{
    QList<int> values;
    for (const QString& name : boxes)
        values << Box(window, qPrintable(name))->Value();
    return values;
}

// A loaded, shown main window on a fresh temporary home.
struct Open_Window
{
    explicit Open_Window(const QStringList& settings = {})
    {
        if (!settings.isEmpty())
            Write_Settings(home, settings);
        windows::Message_Box::clearShown();
        window = std::make_unique<windows::frmMain>();
        started = window->Load(QString());
    }
    Temp_Home home;
    std::unique_ptr<windows::frmMain> window;
    bool started = false;
};

// Deletes the windows that closed themselves (deleteLater) at once.
inline void Let_Deferred_Deletes_Run()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A user click in the middle of a widget.
inline void Click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

// A user click on a check box's indicator (its middle may lie past the text).
inline void Click_Box(QWidget* box)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

} // namespace bc::test

namespace bc::test {

// The first column of every row of a list, top to bottom.
inline QStringList Rows(const QTreeWidget* list)
{
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        rows << list->topLevelItem(i)->text(0);
    return rows;
}

// A user click on the tab with this key.
inline void Click_Tab(const QWidget* window, const QString& key)
{
    auto* tabs = window->findChild<QTabBar*>(QStringLiteral("TabStrip1"));
    for (int i = 0; tabs && i < tabs->count(); ++i) {
        if (tabs->tabData(i).toString() == key)
            QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(i).center());
    }
}

} // namespace bc::test
