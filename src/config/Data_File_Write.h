#pragma once
// Replacing a data file as a whole.

#include <QByteArray>
#include <QString>

namespace bc {

// Writes the data to a temporary file in the same folder and renames it into
// place only when every byte was written: a full disk or a size limit keeps
// the old file whole. On failure returns false and, when given, sets *error.
bool Replace_Data_File(const QString& path, const QByteArray& data, QString* error = nullptr);

} // namespace bc
