#include "config/Data_Strings.h"

#include "config/CryptoX.h"

namespace bc {

CryptoX& Data_Crypto()
{
    static CryptoX instance;
    return instance;
}

// The instance keeps its settings between calls and other code may change
// them, so the pass phrase is set again before every use.
QString Encrypt_Data_String(const QString& value)
{
    CryptoX& crypto = Data_Crypto();
    crypto.Set_Keyword(kDataPassPhrase);
    return crypto.Encrypt(value);
}

QString Decrypt_Data_String(const QString& value)
{
    CryptoX& crypto = Data_Crypto();
    crypto.Set_Keyword(kDataPassPhrase);
    return crypto.Decrypt(value);
}

QString Data_String_Error()
{
    return Data_Crypto().ErrorMsg();
}

} // namespace bc
