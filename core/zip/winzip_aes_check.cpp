#include "zip/winzip_aes_check.h"

#include "zip/zip_handle.h"

#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/params.h>

#include <array>
#include <cstring>
#include <memory>
#include <vector>

namespace cfr {

namespace {

const std::size_t verifierLength = 2;
const std::size_t codeLength = 10;
const int keyIterations = 1000;

// Salt length is half the key length for the three AES strengths.
std::size_t keyLength(zip_uint16_t method) {
    switch (method) {
    case ZIP_EM_AES_128:
        return 16;
    case ZIP_EM_AES_192:
        return 24;
    case ZIP_EM_AES_256:
        return 32;
    default:
        return 0;
    }
}

struct MacFree {
    void operator()(EVP_MAC* mac) const { EVP_MAC_free(mac); }
    void operator()(EVP_MAC_CTX* context) const { EVP_MAC_CTX_free(context); }
};

// HMAC-SHA1 over a stream, leaving out the last codeLength bytes, which are kept aside.
class TrailingCodeMac {
public:
    bool start(const unsigned char* key, std::size_t length) {
        mac_.reset(EVP_MAC_fetch(nullptr, "HMAC", nullptr));
        if (!mac_)
            return false;
        context_.reset(EVP_MAC_CTX_new(mac_.get()));
        char digest[] = "SHA1";
        const OSSL_PARAM params[] = {
            OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digest, 0),
            OSSL_PARAM_construct_end()};
        return context_ && EVP_MAC_init(context_.get(), key, length, params) == 1;
    }

    bool update(const unsigned char* data, std::size_t size) {
        held_.insert(held_.end(), data, data + size);
        if (held_.size() <= codeLength)
            return true;
        const std::size_t ready = held_.size() - codeLength;
        const bool ok = EVP_MAC_update(context_.get(), held_.data(), ready) == 1;
        held_.erase(held_.begin(), held_.begin() + long(ready));
        return ok;
    }

    bool matches() {
        unsigned char computed[EVP_MAX_MD_SIZE];
        std::size_t length = 0;
        return held_.size() == codeLength &&
               EVP_MAC_final(context_.get(), computed, &length, sizeof computed) == 1 &&
               length >= codeLength && std::memcmp(computed, held_.data(), codeLength) == 0;
    }

private:
    std::unique_ptr<EVP_MAC, MacFree> mac_;
    std::unique_ptr<EVP_MAC_CTX, MacFree> context_;
    std::vector<unsigned char> held_;
};

} // namespace

bool holdsWinzipAes(zip_t* archive) {
    const zip_int64_t count = zip_get_num_entries(archive, ZIP_FL_UNCHANGED);
    for (zip_int64_t index = 0; index < count; ++index) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(archive, zip_uint64_t(index), ZIP_FL_UNCHANGED, &st) == 0 &&
            (st.valid & ZIP_STAT_ENCRYPTION_METHOD) && keyLength(st.encryption_method) > 0)
            return true;
    }
    return false;
}

bool crcUnreliable(const zip_stat_t& st) {
    return (st.valid & ZIP_STAT_ENCRYPTION_METHOD) && keyLength(st.encryption_method) > 0 &&
           (st.valid & ZIP_STAT_CRC) && st.crc == 0 && (st.valid & ZIP_STAT_SIZE) && st.size >= 20;
}

bool winzipAesAuthentic(zip_t* archive, zip_uint64_t index, const zip_stat_t& st,
                        const std::string& password) {
    const std::size_t keySize = keyLength(st.encryption_method);
    const std::size_t saltSize = keySize / 2;
    if (keySize == 0)
        return false;
    ZipFileHandle raw(zip_fopen_index(archive, index, ZIP_FL_UNCHANGED | ZIP_FL_ENCRYPTED));
    if (!raw)
        return false;

    // Salt and password verifier come first; the keys follow from them.
    std::array<unsigned char, 32768> buffer;
    const std::size_t headerSize = saltSize + verifierLength;
    if (zip_fread(raw.get(), buffer.data(), headerSize) != zip_int64_t(headerSize))
        return false;
    std::vector<unsigned char> keys(2 * keySize + verifierLength);
    if (PKCS5_PBKDF2_HMAC(password.data(), int(password.size()), buffer.data(), int(saltSize),
                          keyIterations, EVP_sha1(), int(keys.size()), keys.data()) != 1 ||
        std::memcmp(keys.data() + 2 * keySize, buffer.data() + saltSize, verifierLength) != 0)
        return false;

    TrailingCodeMac mac;
    if (!mac.start(keys.data() + keySize, keySize))
        return false;
    zip_uint64_t total = headerSize;
    for (;;) {
        // A stored entry ends in the same misjudged CRC error, after all of its bytes.
        const zip_int64_t got = zip_fread(raw.get(), buffer.data(), buffer.size());
        if (got <= 0)
            break;
        total += zip_uint64_t(got);
        if (!mac.update(buffer.data(), std::size_t(got)))
            return false;
    }
    return (st.valid & ZIP_STAT_COMP_SIZE) && total == st.comp_size && mac.matches();
}

} // namespace cfr
