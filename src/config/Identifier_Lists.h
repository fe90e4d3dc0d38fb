#pragma once
// The return identifiers ("search_strings.txt") and the no-check addresses
// ("No_Check_Strings.txt", one encrypted line each).

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace bc {

struct Identifier_Lists
{
    QStringList Search_Strings;   // kept exactly as loaded or entered
    QStringList No_Check_Strings; // upper-cased on adding
    int Num_Search_Strings() const { return static_cast<int>(Search_Strings.size()); }
    int Num_No_Check_Strings() const { return static_cast<int>(No_Check_Strings.size()); }
};

// The program-wide lists.
Identifier_Lists& Lists();

inline const QString kSearchStringsFile = QStringLiteral("search_strings.txt");
inline const QString kNoCheckStringsFile = QStringLiteral("No_Check_Strings.txt");

const QStringList& Fallback_Search_Strings(); // the 29 built-in phrases
const QStringList& Reset_Search_Strings();    // those and "warning:"

void Setup_Search_Strings();
void Add_Search_String(const QString& text);
void Setup_No_Check();
void Add_No_Check_String(const QString& text);
bool Contains_Return_Identifier(const QString& subject);
bool Is_No_Check_String(const QString& address);

// The writers below show their own error message and return false when the
// file could not be written; the file and the in-memory list then both stay
// as they were.
bool Save_Search_Strings(const QStringList& rows);
bool Reset_Search_Strings_To_Default(); // the return identifiers' reset
bool Append_Search_String(const QString& text);
bool Save_No_Check_Strings(const QStringList& rows);

// The no-check reset. currentUserAddress opens the mail session and gives the
// profile owner's address, or nullopt when there is no current user; it
// throws when the session cannot be asked. On success editorRows becomes the
// one lower-case address and true is returned; otherwise both lists and the
// file stay as they were.
bool Reset_No_Check_To_Default(const std::function<std::optional<QString>()>& currentUserAddress,
                               QStringList& editorRows);

} // namespace bc
