#include "config/CryptoX.h"

#include "config/Text_File.h"

#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/params.h>
#include <openssl/provider.h>

#include <new>

namespace bc {
namespace {

constexpr std::size_t kKeyBytes = 5; // the base provider's 40-bit key
constexpr std::size_t kKeyBits = 40;

struct Md_Ctx_Free
{
    void operator()(EVP_MD_CTX* c) const { EVP_MD_CTX_free(c); }
};
struct Cipher_Ctx_Free
{
    void operator()(EVP_CIPHER_CTX* c) const { EVP_CIPHER_CTX_free(c); }
};

// Windows-1252 bytes that no character is assigned to; the data-file
// conversion turns them into C1 controls on reading.
bool Is_Unassigned_Code(char32_t c)
{
    return c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

} // namespace

struct CryptoX::Impl
{
    OSSL_LIB_CTX* libctx = nullptr;
    OSSL_PROVIDER* legacy = nullptr;
    OSSL_PROVIDER* standard = nullptr;
    EVP_MD* md5 = nullptr;
    EVP_CIPHER* rc2 = nullptr;
    EVP_CIPHER* rc4 = nullptr;

    ~Impl()
    {
        EVP_CIPHER_free(rc4);
        EVP_CIPHER_free(rc2);
        EVP_MD_free(md5);
        if (standard)
            OSSL_PROVIDER_unload(standard);
        if (legacy)
            OSSL_PROVIDER_unload(legacy);
        OSSL_LIB_CTX_free(libctx);
    }
};

CryptoX::CryptoX()
{
    // A private context, so that the legacy ciphers are enabled for us alone
    // and never for other users of libcrypto in the process.
    auto impl = std::make_unique<Impl>();
    impl->libctx = OSSL_LIB_CTX_new();
    if (impl->libctx) {
        impl->legacy = OSSL_PROVIDER_load(impl->libctx, "legacy");
        impl->standard = OSSL_PROVIDER_load(impl->libctx, "default");
    }
    if (!impl->libctx || !impl->legacy || !impl->standard) {
        Set_Error(kErrContext, ": Crypto.Class_Initialize - ", "Could not acquire context");
        return;
    }
    // A missing algorithm shows later as the failure of its own step.
    impl->md5 = EVP_MD_fetch(impl->libctx, "MD5", nullptr);
    impl->rc2 = EVP_CIPHER_fetch(impl->libctx, "RC2-40-CBC", nullptr);
    impl->rc4 = EVP_CIPHER_fetch(impl->libctx, "RC4-40", nullptr);
    impl_ = std::move(impl);
    method_ = RC2;
    asHex_ = true;
}

CryptoX::~CryptoX() = default;

void CryptoX::Set_Error(qint32 code, const char* source, const char* message)
{
    errorMsg_ = QString::number(code) + QLatin1String(source) + QLatin1String(message);
}

QByteArray CryptoX::Text_To_Bytes(const QString& text)
{
    // To_Cp1252 gives one byte per code point, so positions line up.
    QByteArray bytes = To_Cp1252(text);
    const QList<uint> codes = text.toUcs4();
    for (qsizetype i = 0; i < codes.size() && i < bytes.size(); ++i)
        if (Is_Unassigned_Code(codes[i]))
            bytes[i] = static_cast<char>(codes[i]);
    return bytes;
}

QString CryptoX::Bytes_To_Text(const QByteArray& bytes)
{
    return From_Cp1252(bytes);
}

QString CryptoX::ConvertStringToHex(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex().toUpper());
}

std::optional<QByteArray> CryptoX::ConvertStringFromHex(const QString& text)
{
    if (text.size() % 2 != 0) {
        Set_Error(kErrNotHex, ": Crypo.ConvertStringFromHex - ", "Not a valid hex string");
        return std::nullopt;
    }
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (!((u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'F'))) {
            Set_Error(kErrNotHex, ": Crypto.ConvertStringFromHex - ", "Not a valid hex string");
            return std::nullopt;
        }
    }
    return QByteArray::fromHex(text.toLatin1());
}

std::optional<QByteArray> CryptoX::Transform(const QByteArray& data, const QByteArray& passPhrase,
                                             bool encrypt, qint32 method)
{
    try {
        // The key: the first 40 bits of MD5 over the pass phrase, no salt.
        std::unique_ptr<EVP_MD_CTX, Md_Ctx_Free> hash(EVP_MD_CTX_new());
        if (!impl_ || !impl_->md5 || !hash || EVP_DigestInit_ex2(hash.get(), impl_->md5, nullptr) != 1) {
            Set_Error(kErrCreateHash, ":Crypto.EncryptDecrypt - ", "Could not create hash");
            return std::nullopt;
        }
        unsigned char digest[EVP_MAX_MD_SIZE];
        unsigned int digestLength = 0;
        if (EVP_DigestUpdate(hash.get(), passPhrase.constData(), static_cast<size_t>(passPhrase.size())) !=
                1 ||
            EVP_DigestFinal_ex(hash.get(), digest, &digestLength) != 1 || digestLength < kKeyBytes) {
            Set_Error(kErrHashData, "Crypto.EncryptDecrypt - ", "Could not create hash data");
            return std::nullopt;
        }

        EVP_CIPHER* cipher = method == RC2 ? impl_->rc2 : impl_->rc4;
        std::unique_ptr<EVP_CIPHER_CTX, Cipher_Ctx_Free> crypt(EVP_CIPHER_CTX_new());
        size_t keyLength = kKeyBytes;
        size_t keyBits = kKeyBits;
        OSSL_PARAM params[3];
        int n = 0;
        params[n++] = OSSL_PARAM_construct_size_t(OSSL_CIPHER_PARAM_KEYLEN, &keyLength);
        if (method == RC2)
            params[n++] = OSSL_PARAM_construct_size_t(OSSL_CIPHER_PARAM_RC2_KEYBITS, &keyBits);
        params[n] = OSSL_PARAM_construct_end();
        const unsigned char iv[8] = {};
        const int direction = encrypt ? 1 : 0;
        // The lengths are set first: the key is scheduled when it is given.
        if (!cipher || !crypt ||
            EVP_CipherInit_ex2(crypt.get(), cipher, nullptr, nullptr, direction, params) != 1 ||
            EVP_CipherInit_ex2(crypt.get(), nullptr, digest, iv, direction, nullptr) != 1) {
            Set_Error(kErrDeriveKey, ": Crypto.EncryptDecrypt", "Could not derive key");
            return std::nullopt;
        }

        QByteArray out(data.size() + EVP_MAX_BLOCK_LENGTH, Qt::Uninitialized);
        auto* outBytes = reinterpret_cast<unsigned char*>(out.data());
        int written = 0;
        int last = 0;
        const bool ok = EVP_CipherUpdate(crypt.get(), outBytes, &written,
                                         reinterpret_cast<const unsigned char*>(data.constData()),
                                         static_cast<int>(data.size())) == 1 &&
                        EVP_CipherFinal_ex(crypt.get(), outBytes + written, &last) == 1;
        if (!ok) {
            if (encrypt)
                Set_Error(kErrEncrypt, ": Crypto.EncryptDecrypt - ", "Could not encrypt data");
            else
                Set_Error(kErrDecrypt, ": Crypto.EncryptDecrypt - ", "Could not decrypt data");
            return std::nullopt;
        }
        out.truncate(written + last);
        return out;
    } catch (const std::bad_alloc&) {
        Set_Error(7, ": Crypto Error! - ", "Out of memory");
    } catch (...) {
        Set_Error(51, ": Crypto Error! - ", "Internal error");
    }
    return std::nullopt;
}

QString CryptoX::Encrypt(const QString& text)
{
    errorMsg_.clear();
    encrypted_.clear();
    if (method_ != RC2 && method_ != RC4) {
        Set_Error(kErrMethod, ": Crypto.Encrypt - ", "Invalid encryption type specified");
        return {};
    }
    if (text.isEmpty() || keyword_.isEmpty()) {
        Set_Error(kErrEmpty, ": Crypto.Encrypt - ", "Both a string and a key are required");
        return {};
    }
    const std::optional<QByteArray> cipherText =
        Transform(Text_To_Bytes(text), Text_To_Bytes(keyword_), true, method_);
    if (!cipherText)
        return {};
    encrypted_ = asHex_ ? ConvertStringToHex(*cipherText) : Bytes_To_Text(*cipherText);
    return encrypted_;
}

QString CryptoX::Decrypt(const QString& text)
{
    errorMsg_.clear();
    if (method_ != RC2 && method_ != RC4) {
        Set_Error(kErrMethod, ": Crypto.Decrypt - ", "Invalid encryption type specified");
        return {};
    }
    // Tested on the text as given, before the hexadecimal is decoded.
    if (text.isEmpty() || keyword_.isEmpty()) {
        Set_Error(kErrEmpty, ": Crypto.Decrypt - ", "Both a string and a key are required");
        return {};
    }
    std::optional<QByteArray> cipherText;
    if (asHex_)
        cipherText = ConvertStringFromHex(text); // keeps its own message when it refuses
    else
        cipherText = Text_To_Bytes(text);
    if (!cipherText)
        return {};
    const std::optional<QByteArray> plain = Transform(*cipherText, Text_To_Bytes(keyword_), false, method_);
    return plain ? Bytes_To_Text(*plain) : QString();
}

} // namespace bc
