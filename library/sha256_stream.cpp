#include "library/sha256_stream.h"

#include <QIODevice>
#include <openssl/evp.h>

namespace {
// Large enough that the system call cost vanishes next to the hashing, small enough to stay
// in the cache.
constexpr qint64 ReadBlockSize = 256 * 1024;
} // namespace

Sha256Stream::Sha256Stream() : context_(EVP_MD_CTX_new()) {
    usable_ = context_ && EVP_DigestInit_ex(context_, EVP_sha256(), nullptr) == 1;
}

Sha256Stream::~Sha256Stream() {
    EVP_MD_CTX_free(context_);
}

void Sha256Stream::addData(const char* data, qint64 length) {
    if (usable_ && length > 0)
        usable_ = EVP_DigestUpdate(context_, data, size_t(length)) == 1;
}

bool Sha256Stream::addDevice(QIODevice& device) {
    QByteArray block(int(ReadBlockSize), Qt::Uninitialized);
    for (;;) {
        const qint64 got = device.read(block.data(), ReadBlockSize);
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        addData(block.constData(), got);
    }
}

QString Sha256Stream::hexResult() {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!usable_ || EVP_DigestFinal_ex(context_, digest, &length) != 1)
        return QString();
    usable_ = false; // a finished context takes no more input
    return QString::fromLatin1(
        QByteArray::fromRawData(reinterpret_cast<const char*>(digest), int(length)).toHex());
}
