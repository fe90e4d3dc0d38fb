#include "config/Data_File_Write.h"

#include <QSaveFile>

namespace bc {

bool Replace_Data_File(const QString& path, const QByteArray& data, QString* error)
{
    QSaveFile file(path);
    // The owner may rename over a read-only file, as the Windows version's
    // overwrite did.
    file.setDirectWriteFallback(false);
    // Unbuffered: a buffered short write is only noticed in the final flush,
    // which does not report it, and the shortened file would be committed.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    qint64 written = 0;
    while (written < data.size()) {
        // After a short write the next attempt fails and names the reason.
        const qint64 n = file.write(data.constData() + written, data.size() - written);
        if (n <= 0) {
            if (error)
                *error = file.errorString();
            file.cancelWriting();
            return false;
        }
        written += n;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace bc
