#include "windows/Message_Box.h"

#include <QApplication>
#include <QInputDialog>
#include <QQueue>

#include <cstdio>

namespace bc::windows {
namespace {

QQueue<QMessageBox::StandardButton> g_answers;
QQueue<QString> g_inputs;
QStringList g_shown;
bool g_unattended = false;

QMessageBox::StandardButton Put_Up(QMessageBox::Icon icon, const QString& text,
                                   QMessageBox::StandardButtons buttons, QMessageBox::StandardButton fallback)
{
    g_shown.append(text);
    if (!g_answers.isEmpty())
        return g_answers.dequeue();
    if (g_unattended) {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
        std::fflush(stderr);
        return fallback;
    }
    QMessageBox box(icon, kProgramTitle, text, buttons, QApplication::activeWindow());
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

void Message_Box::Show_Message(const QString& text)
{
    Put_Up(QMessageBox::Information, text, QMessageBox::Ok, QMessageBox::Ok);
}

void Message_Box::Show_Stop(const QString& text)
{
    Put_Up(QMessageBox::Critical, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool Message_Box::Ask_Yes_No(const QString& text)
{
    return Put_Up(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
}

void Message_Box::setNextAnswer(QMessageBox::StandardButton button)
{
    g_answers.enqueue(button);
}

const QStringList& Message_Box::shown()
{
    return g_shown;
}

void Message_Box::clearShown()
{
    g_shown.clear();
    g_answers.clear();
    g_inputs.clear();
}

void Message_Box::setUnattended(bool unattended)
{
    g_unattended = unattended;
}

QString Message_Box::Input_Box(QWidget* parent, const QString& prompt, const QString& title,
                               const QString& defaultText)
{
    g_shown.append(prompt);
    if (!g_inputs.isEmpty())
        return g_inputs.dequeue();
    if (g_unattended)
        return QString();
    bool ok = false;
    const QString text = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}

void Message_Box::setNextInput(const QString& text)
{
    g_inputs.enqueue(text);
}

void Install_Message_Boxes()
{
    static Message_Box boxes;
    Set_Messages(&boxes);
}

} // namespace bc::windows
