#include "rar/rar_headers.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace cfr {
namespace {

const unsigned char kRar4Signature[] = {'R', 'a', 'r', '!', 0x1A, 0x07, 0x00};
const unsigned char kRar5Signature[] = {'R', 'a', 'r', '!', 0x1A, 0x07, 0x01, 0x00};
// A self-extracting archive keeps its stub before the signature.
const long kLargestStub = 1 << 20;
const int kMostHeaders = 1000000;
// RAR 5 headers are at most 2 MiB long.
const std::uint64_t kLargestHeader = 2 << 20;

struct FileClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileClose>;

// Little-endian fields and RAR 5's variable-length integers, over one header's bytes.
class Fields {
public:
    Fields(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

    bool vint(std::uint64_t* value) {
        *value = 0;
        for (int shift = 0; shift < 64 && at_ < size_; shift += 7) {
            const unsigned char byte = data_[at_++];
            *value |= std::uint64_t(byte & 0x7F) << shift;
            if (!(byte & 0x80))
                return true;
        }
        return false;
    }
    bool fixed(int bytes, std::uint64_t* value) {
        if (at_ + bytes > size_)
            return false;
        *value = 0;
        for (int i = 0; i < bytes; ++i)
            *value |= std::uint64_t(data_[at_ + i]) << (8 * i);
        at_ += bytes;
        return true;
    }
    bool skip(std::uint64_t bytes) {
        if (bytes > size_ - at_)
            return false;
        at_ += bytes;
        return true;
    }
    std::size_t at() const { return at_; }
    void moveTo(std::size_t at) { at_ = at < size_ ? at : size_; }

private:
    const unsigned char* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

bool readExactly(std::FILE* file, void* into, std::size_t size) {
    return std::fread(into, 1, size, file) == size;
}

bool skipAhead(std::FILE* file, std::uint64_t bytes) {
    return bytes <= std::uint64_t(INT64_MAX) && fseeko(file, off_t(bytes), SEEK_CUR) == 0;
}

// Leaves the file just after the signature; 4 or 5 for the format found, 0 for none.
int findSignature(std::FILE* file) {
    // Volumes start with it; only a self-extractor needs the search.
    std::vector<unsigned char> start(sizeof kRar5Signature);
    std::size_t got = std::fread(start.data(), 1, start.size(), file);
    for (std::size_t at = 0; at + sizeof kRar4Signature <= got; ++at) {
        if (std::memcmp(&start[at], kRar4Signature, sizeof kRar4Signature) == 0) {
            fseeko(file, off_t(at + sizeof kRar4Signature), SEEK_SET);
            return 4;
        }
        if (at + sizeof kRar5Signature <= got &&
            std::memcmp(&start[at], kRar5Signature, sizeof kRar5Signature) == 0) {
            fseeko(file, off_t(at + sizeof kRar5Signature), SEEK_SET);
            return 5;
        }
        if (at == 0 && got == start.size()) {
            start.resize(kLargestStub + sizeof kRar5Signature);
            got += std::fread(&start[got], 1, start.size() - got, file);
        }
    }
    return 0;
}

// RAR 5: CRC-32, header size, then the header: type, flags, optional extra and data sizes.
void readRar5(std::FILE* file, RarHeaders& found) {
    enum { Main = 1, FileHeader = 2, Service = 3, Encryption = 4, End = 5 };
    const std::uint64_t hasExtra = 0x1, hasData = 0x2, dataGoesOn = 0x10;
    for (int n = 0; n < kMostHeaders; ++n) {
        unsigned char prefix[4 + 3];
        std::uint64_t size = 0;
        // The CRC-32 of the header comes first; libarchive checks it when it reads.
        if (!readExactly(file, prefix, 4))
            return;
        // The size is a variable-length integer of at most three bytes.
        std::size_t sizeBytes = 0;
        do {
            if (sizeBytes == 3 || !readExactly(file, &prefix[4 + sizeBytes], 1))
                return;
        } while (prefix[4 + sizeBytes++] & 0x80);
        Fields sizeField(&prefix[4], sizeBytes);
        if (!sizeField.vint(&size) || size == 0 || size > kLargestHeader)
            return;
        std::vector<unsigned char> header(size);
        if (!readExactly(file, header.data(), header.size()))
            return;
        Fields fields(header.data(), header.size());
        std::uint64_t type = 0, flags = 0, extraSize = 0, dataSize = 0;
        if (!fields.vint(&type) || !fields.vint(&flags) ||
            ((flags & hasExtra) && !fields.vint(&extraSize)) ||
            ((flags & hasData) && !fields.vint(&dataSize)) || extraSize > size)
            return;
        std::uint64_t value = 0;
        if (type == Main && fields.vint(&value)) {
            found.volume = value & 0x1;
        } else if (type == Encryption) {
            // Everything after this header is encrypted.
            found.encrypted = true;
            return;
        } else if (type == End && fields.vint(&value)) {
            found.continues = found.continues || (value & 0x1);
            return;
        } else if (type == FileHeader || type == Service) {
            found.continues = found.continues || (flags & dataGoesOn);
            // Extra records close the header: size, type, data; type 1 is encryption.
            fields.moveTo(header.size() - extraSize);
            std::uint64_t recordSize = 0, recordType = 0;
            while (fields.at() < header.size() && fields.vint(&recordSize)) {
                const std::size_t recordStart = fields.at();
                if (!fields.vint(&recordType))
                    break;
                if (recordType == 0x01 && type == FileHeader)
                    found.encrypted = true;
                fields.moveTo(recordStart);
                if (!fields.skip(recordSize))
                    break;
            }
        }
        if (!skipAhead(file, dataSize))
            return;
    }
}

// RAR 1.5 to 4.x: CRC (2), type (1), flags (2), size (2), then the rest of the block;
// blocks with flag 0x8000 carry data whose size follows (for files: the packed size).
void readRar4(std::FILE* file, RarHeaders& found) {
    enum { Main = 0x73, FileBlock = 0x74, End = 0x7B };
    for (int n = 0; n < kMostHeaders; ++n) {
        unsigned char block[7];
        if (!readExactly(file, block, sizeof block))
            return;
        // The CRC (two bytes) comes first; libarchive checks it when it reads.
        const unsigned type = block[2];
        const unsigned flags = block[3] | unsigned(block[4]) << 8;
        const std::size_t size = block[5] | std::size_t(block[6]) << 8;
        if (size < sizeof block)
            return;
        std::vector<unsigned char> rest(size - sizeof block);
        if (!readExactly(file, rest.data(), rest.size()))
            return;
        Fields more(rest.data(), rest.size());
        std::uint64_t dataSize = 0;
        if (flags & 0x8000)
            more.fixed(4, &dataSize);
        if (type == FileBlock) {
            std::uint64_t high = 0;
            // Files over 4 GiB keep the high half of the packed size further on.
            if (flags & 0x100) {
                more.moveTo(25);
                if (more.fixed(4, &high))
                    dataSize |= high << 32;
            }
            found.encrypted = found.encrypted || (flags & 0x0004);
            found.continues = found.continues || (flags & 0x0002);
        } else if (type == Main) {
            found.volume = flags & 0x0001;
            // Block headers are encrypted: nothing more can be read.
            if (flags & 0x0080) {
                found.encrypted = true;
                return;
            }
        } else if (type == End) {
            found.continues = found.continues || (flags & 0x0001);
            return;
        }
        if (!skipAhead(file, dataSize))
            return;
    }
}

} // namespace

RarHeaders readRarHeaders(const std::string& path) {
    RarHeaders found;
    File file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return found;
    const int format = findSignature(file.get());
    if (format == 4)
        readRar4(file.get(), found);
    else if (format == 5)
        readRar5(file.get(), found);
    return found;
}

} // namespace cfr
