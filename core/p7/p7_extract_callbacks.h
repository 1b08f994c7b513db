// What the plugin asks while reading an archive: the password, and where each entry goes.
#pragma once

#include "p7/p7_items.h"
#include "p7/p7_progress.h"
#include "p7/p7_ref_base.h"
#include "p7/p7_streams.h"
#include "p7/p7_text.h"

#include <filesystem>
#include <new>
#include <vector>

namespace cfr {

// Hands the password over while the archive is opened (encrypted names need it then).
template <p7::Layout L>
class OpenCb final : public TwoViews<p7::IArchiveOpenCallback<L>, p7::ICryptoGetTextPassword<L>> {
public:
    explicit OpenCb(const std::wstring& password) : password_(password) {}

    p7::HRESULT QueryInterface(const p7::GUID& iid, void** out) override {
        return this->answer(iid, out, {p7::IID_IUnknown, p7::IID_IArchiveOpenCallback},
                            {p7::IID_ICryptoGetTextPassword});
    }
    p7::HRESULT SetTotal(const std::uint64_t*, const std::uint64_t*) override { return p7::S_OK; }
    p7::HRESULT SetCompleted(const std::uint64_t*, const std::uint64_t*) override {
        return p7::S_OK;
    }
    p7::HRESULT CryptoGetTextPassword(p7::BSTR* password) override {
        return handOver(password_, password);
    }

private:
    const std::wstring& password_;
};

template <p7::Layout L>
class ExtractCb final
    : public TwoViews<p7::IArchiveExtractCallback<L>, p7::ICryptoGetTextPassword<L>> {
public:
    ExtractCb(const std::vector<ExtractItem>& items, const std::wstring& password,
              const ProgressSink* sink)
        : items_(items), password_(password), progress_(sink) {}

    p7::HRESULT QueryInterface(const p7::GUID& iid, void** out) override {
        return this->answer(iid, out,
                            {p7::IID_IUnknown, p7::IID_IProgress, p7::IID_IArchiveExtractCallback},
                            {p7::IID_ICryptoGetTextPassword});
    }

    p7::HRESULT SetTotal(std::uint64_t total) override { return progress_.setTotal(total); }
    p7::HRESULT SetCompleted(const std::uint64_t* completed) override {
        return progress_.setCompleted(completed);
    }

    p7::HRESULT GetStream(std::uint32_t index, p7::ISequentialOutStream<L>** stream,
                          std::int32_t askMode) override {
        if (!stream)
            return p7::E_FAIL;
        *stream = nullptr;
        finishCurrent();
        if (progress_.checkCancelled())
            return p7::E_ABORT;
        if (askMode != p7::kAskExtract || index >= items_.size() || items_[index].path.empty())
            return p7::S_OK;
        const ExtractItem& item = items_[index];
        if (item.isDir) {
            std::error_code ignored;
            std::filesystem::create_directories(item.path, ignored);
            return p7::S_OK;
        }
        auto* out = new (std::nothrow) FileOutStream<L>;
        if (!out || !out->open(item.path)) {
            if (out)
                out->Release();
            writeFailed_ = true;
            return p7::E_FAIL;
        }
        out->AddRef(); // ours, to check the close once the entry is done
        current_.reset(out);
        currentPath_ = item.path;
        *stream = out;
        return p7::S_OK;
    }

    p7::HRESULT PrepareOperation(std::int32_t) override { return p7::S_OK; }

    p7::HRESULT SetOperationResult(std::int32_t result) override {
        if (result == p7::kOperationUnsupportedMethod)
            unsupported_ = true;
        else if (result != p7::kOperationOk)
            failed_ = true;
        const bool written = bool(current_);
        finishCurrent();
        // An entry that could not be decoded must not pass for the real file.
        if (written && result != p7::kOperationOk) {
            std::error_code ignored;
            std::filesystem::remove(currentPath_, ignored);
        }
        return p7::S_OK;
    }

    p7::HRESULT CryptoGetTextPassword(p7::BSTR* password) override {
        return handOver(password_, password);
    }

    // Closes the entry still open, if any; call once the plugin is done.
    void finish() { finishCurrent(); }
    bool failed() const { return failed_; }
    // Some entry uses a method this plugin was built without: no password can help.
    bool unsupported() const { return unsupported_; }
    // An output file could not be created or written: the disk's fault, not the password's.
    bool writeFailed() const { return writeFailed_; }
    bool cancelled() const { return progress_.cancelled(); }

private:
    // A file whose close fails (a full disk, say) is as broken as one whose data was.
    void finishCurrent() {
        if (current_ && !current_->finish())
            writeFailed_ = true;
        current_.reset();
    }

    const std::vector<ExtractItem>& items_;
    const std::wstring& password_;
    PluginProgress progress_;
    p7::Ref<FileOutStream<L>> current_;
    std::string currentPath_;
    bool failed_ = false;
    bool unsupported_ = false;
    bool writeFailed_ = false;
};

} // namespace cfr
