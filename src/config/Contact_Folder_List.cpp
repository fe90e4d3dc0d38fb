#include "config/Contact_Folder_List.h"

#include "config/App_State.h"
#include "config/Data_Strings.h"
#include "config/Text_File.h"
#include "config/User_Messages.h"

#include <QFileInfo>

namespace bc {
namespace {

QString List_File_Path()
{
    const QString& folder = App().Data_Folder;
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder + kContactFolderFile;
    return folder + QLatin1Char('/') + kContactFolderFile;
}

} // namespace

Contact_Folders& Folders()
{
    static Contact_Folders folders;
    return folders;
}

QString Get_Field(const QString& text, int n)
{
    // Positions count from 1 and 0 means "no separator", which keeps the
    // arithmetic of the record format readable.
    const qsizetype width = kFieldSeparator.size();
    auto next_separator = [&](qsizetype from) -> qsizetype {
        const qsizetype at = text.indexOf(kFieldSeparator, from - 1);
        return at < 0 ? 0 : at + 1;
    };
    qint64 remaining = n;
    qsizetype position = 0;
    do {
        position = next_separator(position + 1);
        --remaining;
    } while (position != 0 && remaining > 0);
    if (position == 0)
        return {};
    qsizetype end = next_separator(position + 1);
    if (end == 0)
        end = text.size() + 1;
    const qsizetype length = end - position - width;
    if (length < 0) {
        // Two separators sharing their middle dash leave no room for a field.
        Messages().Show_Message(QStringLiteral("Error: Invalid procedure call or argument"));
        return {};
    }
    return text.mid(position - 1 + width, length);
}

bool Load_Contact_Folder_List(QString* error)
{
    const QString path = List_File_Path();
    if (!QFileInfo::exists(path))
        return true;
    QByteArray data;
    if (!Read_Whole_File(path, data, error))
        return false;
    for (const QString& line : Split_Lines(data)) {
        // A blank or damaged line, or one written with another pass phrase,
        // has no readable name and is left out.
        const QString name = Decrypt_Data_String(Get_Field(line, 1));
        if (name.isEmpty())
            continue;
        Contact_Folder_Record record;
        record.Folder_Name = name;
        record.Entry_ID = Decrypt_Data_String(Get_Field(line, 2));
        record.Store_ID = Decrypt_Data_String(Get_Field(line, 3));
        record.Folder_Path = Decrypt_Data_String(Get_Field(line, 4)); // the path is stored last
        Folders().Contact_Folder_List.push_back(record);
    }
    return true;
}

bool Save_Contact_Folder_List(QString* error)
{
    const QString path = List_File_Path();
    const std::vector<Contact_Folder_Record>& list = Folders().Contact_Folder_List;
    if (list.empty()) {
        if (Force_Delete_File(path))
            return true;
        if (error)
            *error = QStringLiteral("Could not delete %1").arg(path);
        return false;
    }

    QStringList lines;
    lines.reserve(static_cast<qsizetype>(list.size()));
    for (const Contact_Folder_Record& record : list) {
        QString line = kFieldSeparator;
        for (const QString* value :
             {&record.Folder_Name, &record.Entry_ID, &record.Store_ID, &record.Folder_Path}) {
            const QString field = Encrypt_Data_String(*value);
            // An empty field would silently drop the value (or, for the name,
            // the whole record): keep the old file instead.
            if (field.isEmpty() && !value->isEmpty()) {
                if (error)
                    *error = Data_String_Error();
                return false;
            }
            line += field + kFieldSeparator;
        }
        lines.append(line);
    }
    return Write_File_Atomically(path, Join_Lines(lines), error);
}

} // namespace bc
