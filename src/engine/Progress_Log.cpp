#include "engine/Progress_Log.h"

#include "config/App_State.h"
#include "config/Registry_Routines.h"
#include "config/Text_File.h"
#include "outlook/Write_Gate.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

namespace bc::engine {

namespace {

struct Log_State
{
    Progress_View* view = nullptr;
    // Set while a session holds the setting's value; unset reads it per line.
    std::optional<bool> logging;
};

Log_State& Log()
{
    static Log_State state;
    return state;
}

// Standard output and the log file hold one entry per line.
QString Single_Line(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

bool Logging_Enabled()
{
    return Setting_Number(Get_Setting(Log_Enabled)) == 1;
}

void Append_To_Log_File(const QString& text)
{
    if (App().Data_Folder.isEmpty())
        Set_Data_Folder();
    QFile file(Data_File(kLogFileName));
    // The log never stops a run: a file that cannot be written is passed over.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    // A preview's lines are kept apart from what really happened.
    const QString line =
        outlook::Previewing() ? QStringLiteral("[Preview] ") + Single_Line(text) : Single_Line(text);
    file.write(To_Cp1252(Log_Line(QDateTime::currentDateTime(), line)) + QByteArrayLiteral("\r\n"));
}

} // namespace

void Set_Progress_View(Progress_View* view)
{
    Log().view = view;
}

Progress_View* Installed_Progress_View()
{
    return Log().view;
}

void Yield_To_Events()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

QString Log_Line(const QDateTime& when, const QString& text)
{
    return when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QStringLiteral("  ") + text;
}

void Add_Item_To_List(const QString& text)
{
    Log_State& log = Log();
    if (App().Auto_Run) {
        const QByteArray line = Single_Line(text).toLocal8Bit() + '\n';
        std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
        std::fflush(stdout);
    } else if (log.view) {
        log.view->Add_Line(text);
    }
    if (log.logging ? *log.logging : Logging_Enabled())
        Append_To_Log_File(text);
    Yield_To_Events();
}

Progress_Session::Progress_Session(Progress_View* view)
    : previousView_(Log().view), previousLogging_(Log().logging)
{
    Log().view = view;
    Log().logging = Logging_Enabled();
}

Progress_Session::~Progress_Session()
{
    Log().view = previousView_;
    Log().logging = previousLogging_;
}

} // namespace bc::engine
