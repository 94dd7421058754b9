// SHA-256 through OpenSSL's libcrypto.
#include "board/sha256.h"

#include <openssl/evp.h>

std::string Sha256Hex(const void* data, size_t length)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (!EVP_Digest(data, length, digest, &size, EVP_sha256(), nullptr)) return "";
    static const char HEX[] = "0123456789abcdef";
    std::string text;
    for (unsigned int i = 0; i < size; i++) {
        text += HEX[digest[i] >> 4];
        text += HEX[digest[i] & 15];
    }
    return text;
}
