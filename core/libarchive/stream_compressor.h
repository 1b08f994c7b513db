// A compressor of our own that a tar stream (or a single file) is written into, in place of a
// libarchive filter: it uses every core and, dropped at any point, stops at once and frees
// its coder (a libarchive filter frees its coder only by finishing the stream, which for a
// multi-threaded xz means compressing every block it has taken in).
#pragma once

#include <cstddef>

namespace cfr {

class StreamCompressor {
public:
    virtual ~StreamCompressor() = default;
    // Sets up the coder and writes whatever the stream begins with.
    virtual bool start() = 0;
    virtual bool write(const void* data, std::size_t size) = 0;
    // Compresses the rest and ends the stream.
    virtual bool finish() = 0;
};

// Writes all of data to fd, going on after a short write or an interrupted call; false on an
// error or when the file takes nothing more (a full disk).
bool writeFully(int fd, const void* data, std::size_t size);

} // namespace cfr
