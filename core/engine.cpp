// The engine's entry points: argument checks and dispatch to one backend per kind.
#include "cfr.h"

#include "failure_reason.h"
#include "kinds.h"
#include "libarchive/tar_backend.h"
#include "p7/p7_backend.h"
#include "progress_sink.h"
#include "random_text.h"
#include "rar/rar_backend.h"
#include "zip/package.h"
#include "zip/zip_backend.h"

#include <cstring>
#include <string>
#include <vector>

namespace cfr {
namespace {

int dispatchPack(const std::vector<std::string>& inputs, const std::string& dest,
                 const std::string& password, const ProgressSink* sink) {
    int kind = kindOfFileName(dest);
    if (kind == Unknown) {
        // Without a password there is nothing to protect: a plain zip, which the
        // package reader opens through its plain-zip fallback.
        return password.empty() ? zipPack(inputs, dest, password, sink)
                                : packagePack(inputs, dest, password, sink);
    }
    switch (kind) {
    case Package:
        // libzip accepts an empty AES password and only fails at close.
        if (password.empty())
            return InvalidArgument;
        return packagePack(inputs, dest, password, sink);
    case Zip:
        // The plugin encrypts on every core and derives keys several times faster.
        if (p7TakesZipPassword(password) && p7Available())
            return p7Pack(inputs, dest, password, sink, Zip);
        return zipPack(inputs, dest, password, sink);
    case SevenZip:
        if (p7Available())
            return p7Pack(inputs, dest, password, sink);
        return password.empty() ? tarPack(inputs, dest, kind, sink) : Unsupported;
    default:
        if (isTarFamily(kind))
            return password.empty() ? tarPack(inputs, dest, kind, sink) : Unsupported;
        return Unsupported;
    }
}

int dispatchExtract(const std::string& archive, const std::string& destDir,
                    const std::string& password, const ProgressSink* sink) {
    switch (kindOfFileName(archive)) {
    case Package:
    case Zip:
    case Unknown:
        return packageExtract(archive, destDir, password, sink);
    case SevenZip:
        return p7Available() ? p7Extract(archive, destDir, password, sink)
                             : tarExtract(archive, destDir, password, sink);
    case Rar:
        return rarExtract(archive, destDir, password, sink);
    default:
        return tarExtract(archive, destDir, password, sink);
    }
}

} // namespace

int pack(const char* const* inputs, int count, const char* dest, const char* password,
         ProgressFn fn, void* context, CancelFn cancel) {
    clearFailure();
    if (!inputs || !dest || count < 1)
        return InvalidArgument;
    try {
        std::vector<std::string> list;
        for (int i = 0; i < count; ++i)
            if (inputs[i])
                list.emplace_back(inputs[i]);
        if (list.empty())
            return InvalidArgument;
        ProgressSink sink{fn, context, cancel};
        return dispatchPack(list, dest, password ? password : "", &sink);
    } catch (...) {
        return Failed;
    }
}

int extract(const char* archive, const char* destDir, const char* password, ProgressFn fn,
            void* context, CancelFn cancel) {
    clearFailure();
    if (!archive || !destDir)
        return InvalidArgument;
    try {
        ProgressSink sink{fn, context, cancel};
        return dispatchExtract(archive, destDir, password ? password : "", &sink);
    } catch (...) {
        return Failed;
    }
}

const char* version() {
    return "cfrcore 1.1";
}

int randomPassword(char* buffer, int size) {
    if (!buffer || size <= 0)
        return -1;
    try {
        const std::string password = makePassword(16);
        if (static_cast<int>(password.size()) >= size)
            return -1;
        std::memcpy(buffer, password.c_str(), password.size() + 1);
        return static_cast<int>(password.size());
    } catch (...) {
        return -1;
    }
}

} // namespace cfr
