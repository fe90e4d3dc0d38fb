#pragma once
// One stored value to and from its encrypted hexadecimal text, as the data
// files hold it (the folder list and the no-check addresses).

#include <QString>

namespace bc {

class CryptoX;

// The fixed pass phrase of every data file.
inline const QString kDataPassPhrase = QStringLiteral("qwpeh5170k8836");

// The program-wide instance, created on first use and kept until exit.
CryptoX& Data_Crypto();

// "" when the value cannot be encrypted or decrypted; Data_String_Error()
// then tells why.
QString Encrypt_Data_String(const QString& value);
QString Decrypt_Data_String(const QString& value);
QString Data_String_Error();

} // namespace bc
