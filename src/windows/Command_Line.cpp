#include "windows/Command_Line.h"

#include "windows/Build_Config.h"

namespace bc::windows {

const std::vector<Command_Option>& Command_Options()
{
    static const std::vector<Command_Option> options = {
        {{QStringLiteral("-h"), QStringLiteral("-?"), QStringLiteral("--help"), QStringLiteral("help")},
         Command_Mode::Help,
         QStringLiteral("show this help and exit; nothing is processed")},
        {{QStringLiteral("-v"), QStringLiteral("--version")},
         Command_Mode::Version,
         QStringLiteral("show the version and exit; nothing is processed")},
        {{QStringLiteral("--report")},
         Command_Mode::Report,
         QStringLiteral("print the report of the last run and exit")},
        {{QStringLiteral("--dry-run")},
         Command_Mode::Preview,
         QStringLiteral("preview the unattended run: the same lines on standard output,\n"
                        "nothing changed; the report of what it would do goes to\n"
                        "standard error")},
        {{QStringLiteral("--undo-last-run")},
         Command_Mode::Undo,
         QStringLiteral("take the last run back, leaving whatever changed since, and\n"
                        "print what was restored")},
        {{QStringLiteral("--run")},
         Command_Mode::Unattended,
         QStringLiteral("process every listed contact folder without a window, then exit\n"
                        "(any other text does the same)")},
    };
    return options;
}

Command_Mode Parse_Command_Line(const QStringList& arguments)
{
    for (const Command_Option& option : Command_Options()) {
        for (const QString& argument : arguments) {
            if (option.Names.contains(argument))
                return option.Mode;
        }
    }
    return arguments.join(QLatin1Char(' ')).trimmed().isEmpty() ? Command_Mode::Interactive
                                                                : Command_Mode::Unattended;
}

namespace {

QString Option_Lines()
{
    QString text;
    for (const Command_Option& option : Command_Options()) {
        const QString names = option.Names.join(QStringLiteral(", "));
        const QStringList description = option.Description.split(QLatin1Char('\n'));
        text += QStringLiteral("  %1%2\n").arg(names, -24).arg(description.first());
        for (qsizetype i = 1; i < description.size(); ++i)
            text += QString(26, QLatin1Char(' ')) + description[i] + QLatin1Char('\n');
    }
    return text;
}

} // namespace

QString Command_Line_Help()
{
    return QStringLiteral("Usage: brindlecast [OPTION | TEXT]\n"
                          "\n"
                          "Keeps your address books clean of e-mail addresses that bounce.\n"
                          "\n"
                          "Without arguments the main window opens. With any other command line (for\n"
                          "instance \"brindlecast --run\") every listed contact folder is processed\n"
                          "unattended with the options last set in the main window, no window is shown,\n"
                          "progress lines go to standard output and the program ends. Without a display,\n"
                          "messages are written to standard error. One run at a time per data folder.\n"
                          "Every run keeps a journal and a report in the data folder's runs/ folder;\n"
                          "the path of the report goes to standard error.\n"
                          "\n"
                          "Options:\n") +
           Option_Lines() +
           QStringLiteral(
               "\n"
               "Environment:\n"
               "  BRINDLECAST_PROFILE       the mail profile folder\n"
               "                            (default $XDG_DATA_HOME/Brindlecast/Profile)\n"
               "  XDG_CONFIG_HOME           where the settings live (default ~/.config)\n"
               "  XDG_DATA_HOME             where the data files live (default ~/.local/share)\n"
               "  DISPLAY, WAYLAND_DISPLAY  without either, an unattended run needs no display\n"
               "\n"
               "Files:\n"
               "  $XDG_CONFIG_HOME/Brindlecast/registry.reg   the settings\n"
               "  $XDG_DATA_HOME/Brindlecast/                 the data folder: dbdata-outlook.dat,\n"
               "      search_strings.txt, No_Check_Strings.txt, bouncedemails.log, and\n"
               "      runs/<date-time>/ with each run's journal and report.txt (the last 20\n"
               "      runs, or as many as set on the main window's Log page)\n"
               "  $BRINDLECAST_PROFILE/profile.ini            your name, address and stores\n"
               "  ") +
           QStringLiteral(BC_HELP_FILE_PATH) +
           QStringLiteral("\n"
                          "      the user's manual\n"
                          "\n"
                          "Exit status:\n"
                          "  0  help, version or report printed, the run reached its closing lines,\n"
                          "     or the last run was undone\n"
                          "  1  the start-up or the run failed (a database walk that ended in an\n"
                          "     error included), or there was no run to report or to undo\n"
                          "  2  the settings file is missing, unreadable or lacks Contact_Action:\n"
                          "     the run refused and changed nothing\n"
                          "  3  another run holds the data folder's lock: nothing changed\n"
                          "\n"
                          "See brindlecast(1) for cron and systemd timer examples.\n");
}

} // namespace bc::windows
