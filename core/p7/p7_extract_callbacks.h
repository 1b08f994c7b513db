// What the plugin asks while reading an archive: the password, and where each entry goes.
#pragma once

#include "p7/p7_items.h"
#include "p7/p7_progress.h"
#include "p7/p7_ref_base.h"
#include "p7/p7_streams.h"
#include "p7/p7_text.h"

#include <atomic>
#include <filesystem>
#include <new>
#include <vector>

namespace cfr {

// What the entries of one extraction came to, kept by the callbacks of every thread that
// works on it.
struct ExtractTally {
    std::atomic<bool> passwordProven{false};
    std::atomic<bool> failedEncrypted{false}; // or said the password was wrong
    std::atomic<bool> damaged{false};
    std::atomic<bool> unsupported{false};
    std::atomic<bool> writeFailed{false};

    // What the job ended with, given whether every call to the plugin's Extract succeeded.
    // Damage is put down to the password only when no encrypted entry came out right, in
    // whatever order the threads met them.
    int outcome(bool cancelled, bool extractOk) const {
        if (cancelled)
            return Cancelled;
        if (writeFailed)
            return Failed;
        // Some entry uses a method this plugin was built without: no password can help.
        if (unsupported)
            return Unsupported;
        if (failedEncrypted && !passwordProven)
            return BadPassword;
        return damaged || failedEncrypted || !extractOk ? Failed : Ok;
    }
};

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
              const ProgressSink* sink, ExtractTally& tally)
        : items_(items), password_(password), progress_(sink), tally_(tally) {}

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
        discardCurrent();
        index_ = index;
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
            tally_.writeFailed = true;
            return p7::E_FAIL;
        }
        out->AddRef(); // ours, to check the close once the entry is done
        current_.reset(out);
        *stream = out;
        return p7::S_OK;
    }

    p7::HRESULT PrepareOperation(std::int32_t) override { return p7::S_OK; }

    p7::HRESULT SetOperationResult(std::int32_t result) override {
        const bool encrypted = index_ < items_.size() && items_[index_].encrypted;
        if (result == p7::kOperationOk) {
            // An encrypted entry that passed its check proves the password right.
            if (encrypted)
                tally_.passwordProven = true;
            keepCurrent();
        } else {
            if (result == p7::kOperationUnsupportedMethod)
                tally_.unsupported = true;
            else if (encrypted || result == p7::kOperationWrongPassword)
                tally_.failedEncrypted = true;
            else
                tally_.damaged = true;
            discardCurrent();
        }
        return p7::S_OK;
    }

    p7::HRESULT CryptoGetTextPassword(p7::BSTR* password) override {
        return handOver(password_, password);
    }

    // Call once the plugin is done. An entry still open then never got its verdict.
    void finish() {
        if (current_)
            tally_.damaged = true;
        discardCurrent();
    }
    bool cancelled() const { return progress_.cancelled(); }

private:
    // An entry that passed the plugin's check is kept if it also has the size the archive
    // declares and its close (on a full disk, say) succeeds.
    void keepCurrent() {
        if (!current_)
            return;
        const ExtractItem& item = items_[index_];
        if (item.sizeKnown && current_->written() != item.size) {
            tally_.damaged = true;
            current_->discard();
        } else if (!current_->finish()) {
            tally_.writeFailed = true;
        }
        current_.reset();
    }
    void discardCurrent() {
        if (current_)
            current_->discard();
        current_.reset();
    }

    const std::vector<ExtractItem>& items_;
    const std::wstring& password_;
    PluginProgress progress_;
    p7::Ref<FileOutStream<L>> current_;
    ExtractTally& tally_;
    std::uint32_t index_ = 0;
};

} // namespace cfr
