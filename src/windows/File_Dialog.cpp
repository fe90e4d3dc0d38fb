#include "windows/File_Dialog.h"

#include <QFileDialog>
#include <QQueue>

namespace bc::windows {
namespace {

QQueue<QString> g_answers;
QList<File_Dialog::Request> g_shown;

QString Put_Up(bool save, QWidget* parent, const QString& title, const QString& folder, const QString& filter)
{
    g_shown.append(File_Dialog::Request{save, title, folder, filter});
    if (!g_answers.isEmpty())
        return g_answers.dequeue();
    return save ? QFileDialog::getSaveFileName(parent, title, folder, filter)
                : QFileDialog::getOpenFileName(parent, title, folder, filter);
}

} // namespace

QString File_Dialog::Get_Save_File_Name(QWidget* parent, const QString& title, const QString& folder,
                                        const QString& filter)
{
    return Put_Up(true, parent, title, folder, filter);
}

QString File_Dialog::Get_Open_File_Name(QWidget* parent, const QString& title, const QString& folder,
                                        const QString& filter)
{
    return Put_Up(false, parent, title, folder, filter);
}

void File_Dialog::setNextAnswer(const QString& path)
{
    g_answers.enqueue(path);
}

const QList<File_Dialog::Request>& File_Dialog::shown()
{
    return g_shown;
}

void File_Dialog::clearShown()
{
    g_shown.clear();
    g_answers.clear();
}

} // namespace bc::windows
