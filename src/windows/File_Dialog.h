#pragma once
// Every file dialog of the program goes through here, so that tests can
// answer it: setNextAnswer queues a file name (or a cancel) that the next
// dialog returns at once instead of being shown.

#include <QList>
#include <QString>

class QWidget;

namespace bc::windows {

class File_Dialog
{
public:
    struct Request
    {
        bool Save = false; // a save dialog, else an open dialog
        QString Title;
        QString Folder;
        QString Filter; // Qt filter text, e.g. "All files (*)"
    };

    // The chosen file's path, or an empty text when the user cancels.
    static QString Get_Save_File_Name(QWidget* parent, const QString& title, const QString& folder,
                                      const QString& filter);
    static QString Get_Open_File_Name(QWidget* parent, const QString& title, const QString& folder,
                                      const QString& filter);

    // Test hooks. An empty path answers Cancel. Answers queue up in order.
    static void setNextAnswer(const QString& path);
    static void setNextCancel() { setNextAnswer(QString()); }
    // Every dialog put up (or answered through the hook) since the last clear.
    static const QList<Request>& shown();
    static void clearShown();
};

} // namespace bc::windows
