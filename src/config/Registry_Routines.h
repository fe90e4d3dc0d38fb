#pragma once
// The settings store: a per-user REGEDIT4 text file standing in for
// HKEY_CURRENT_USER. Every option is written through the moment it changes and
// read back from the file, which is parsed again only when it changed on disk.

#include <QString>
#include <QVariant>

#include <variant>

namespace bc {

inline constexpr quint32 HKEY_CURRENT_USER = 0x80000001u;
inline const QString kProgramKey = QStringLiteral("Software\\Brindlecast");
inline const QString kSuiteKey = QStringLiteral("Software\\Quorin_OEmail_Suite");

// What a read gives: nothing (missing, or a type other than REG_SZ and
// REG_DWORD), a REG_SZ text, or a REG_DWORD number.
using Reg_Value = std::variant<std::monostate, QString, qint32>;
QString Reg_Value_Text(const Reg_Value& value); // the empty text, the text, or the decimal number

// Setting selectors.
enum Setting : qint16
{
    HomeDir = 4,
    Contact_Action = 10,
    Contact_Field_To_Set = 11,
    Contact_Value_To_Set = 12,
    Log_Enabled = 13,
    Clear_Email_Address = 15,
    Email_What_To_Do = 21,
    Email_Inbox_Folder = 22,
    Email_Inbox_Entry_ID = 23,
    Email_Inbox_StoreID = 24,
    Email_Destination_Folder = 25,
    Email_Destination_EntryID = 26,
    Email_Destination_StoreID = 27,
    ToDo_Status = 30,
    ToDo_Regarding = 31,
    ToDo_Priority = 32,
    ToDo_Alarm = 34,
    CreateANote = 35,
    Runs_To_Keep = 40, // how many runs keep their journal and report
};

// $XDG_CONFIG_HOME/Brindlecast/registry.reg (~/.config/... by default),
// looked up on every call so that tests can point it elsewhere.
QString Registry_File();

Reg_Value Read_Registry_Value(quint32 root, const QString& keyPath, const QString& valueName);
// Numbers (and numeric text) become REG_DWORD, anything else trimmed REG_SZ.
// A bool is stored as 0 or -1 (the Windows True); check boxes pass their
// value (0, 1, 2) as an int. Numbers beyond 32 bits are kept as text.
// Failures are silent and leave the old value.
void Write_Registry_Value(quint32 root, const QString& keyPath, const QString& valueName,
                          const QVariant& value);

QString Get_Setting(qint16 selector);                      // "" for an unknown selector
void Save_Setting(qint16 selector, const QVariant& value); // nothing for an unknown selector

// Whether the settings file holds the setting as a value the program reads
// (text or number). False, with *problem set to a sentence naming the file,
// when the file is missing, cannot be read, or lacks the value.
bool Setting_Stored(qint16 selector, QString* problem = nullptr);

// The numeric value of a setting's text as the check boxes and the run read
// it: the leading number of the text, 0 when there is none.
int Setting_Number(const QString& text);

} // namespace bc
