// An archive opened by one of the plugin's format handlers, closed when it goes.
#pragma once

#include "p7/p7_extract_callbacks.h"
#include "p7/p7_loader.h"

#include <cstdio>
#include <string>

namespace cfr {

template <p7::Layout L> class P7Archive {
public:
    explicit P7Archive(const std::string& password) : password_(utf8ToWide(password)) {}
    ~P7Archive() {
        if (opened_)
            archive_->Close();
    }
    P7Archive(const P7Archive&) = delete;
    P7Archive& operator=(const P7Archive&) = delete;

    // An EngineResult: Ok once the handler has recognised the file.
    int open(const P7Lib& lib, const p7::GUID& format, const std::string& path) {
        if (lib.createObject(&format, &p7::IID_IInArchive,
                             reinterpret_cast<void**>(archive_.receive())) != p7::S_OK ||
            !archive_)
            return Failed;
        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (!file)
            return OpenFailed;
        p7::Ref<ArcInStream<L>> stream(new (std::nothrow) ArcInStream<L>(file));
        if (!stream) {
            std::fclose(file);
            return Failed;
        }
        p7::Ref<OpenCb<L>> openCb(new (std::nothrow) OpenCb<L>(password_));
        if (!openCb)
            return Failed;
        // Archives may carry a self-extractor or other data before the signature.
        const std::uint64_t largestStartOffset = 0x800000;
        if (archive_->Open(stream.get(), &largestStartOffset, openCb.get()) != p7::S_OK)
            return OpenFailed;
        opened_ = true;
        return Ok;
    }

    p7::IInArchive<L>* get() const { return archive_.get(); }
    const std::wstring& password() const { return password_; }

private:
    const std::wstring password_;
    p7::Ref<p7::IInArchive<L>> archive_;
    bool opened_ = false;
};

} // namespace cfr
