// What the plugin asks while writing an archive: the entries, their data and the password.
#pragma once

#include "p7/p7_items.h"
#include "p7/p7_progress.h"
#include "p7/p7_ref_base.h"
#include "p7/p7_streams.h"
#include "p7/p7_text.h"

#include <algorithm>
#include <new>
#include <vector>

namespace cfr {

// Seconds from 1601-01-01 (FILETIME's origin) to 1970-01-01.
constexpr std::uint64_t kUnixEpochInFileTimeSeconds = 11644473600ull;

template <p7::Layout L>
class UpdateCallback final
    : public TwoViews<p7::IArchiveUpdateCallback<L>, p7::ICryptoGetTextPassword2<L>> {
public:
    UpdateCallback(const std::vector<UpdateItem>& items, const std::wstring& password,
                   const ProgressSink* sink)
        : items_(items), password_(password), progress_(sink) {}

    p7::HRESULT QueryInterface(const p7::GUID& iid, void** out) override {
        return this->answer(iid, out,
                            {p7::IID_IUnknown, p7::IID_IProgress, p7::IID_IArchiveUpdateCallback},
                            {p7::IID_ICryptoGetTextPassword2});
    }

    p7::HRESULT SetTotal(std::uint64_t total) override { return progress_.setTotal(total); }
    p7::HRESULT SetCompleted(const std::uint64_t* completed) override {
        return progress_.setCompleted(completed);
    }

    // Every entry is new.
    p7::HRESULT GetUpdateItemInfo(std::uint32_t, std::int32_t* newData, std::int32_t* newProps,
                                  std::uint32_t* indexInArchive) override {
        if (newData)
            *newData = 1;
        if (newProps)
            *newProps = 1;
        if (indexInArchive)
            *indexInArchive = 0xFFFFFFFFu;
        return p7::S_OK;
    }

    p7::HRESULT GetProperty(std::uint32_t index, p7::PROPID propId,
                            p7::PROPVARIANT* value) override {
        if (!value)
            return p7::S_OK;
        *value = p7::PROPVARIANT{};
        if (index >= items_.size())
            return p7::S_OK;
        const UpdateItem& item = items_[index];
        switch (propId) {
        case p7::kpidPath:
            value->vt = p7::VT_BSTR;
            value->bstrVal = allocBstr(item.name);
            break;
        case p7::kpidIsDir:
            value->vt = p7::VT_BOOL;
            value->boolVal = item.isDir ? p7::VARIANT_TRUE : p7::VARIANT_FALSE;
            break;
        case p7::kpidSize:
            value->vt = p7::VT_UI8;
            value->uhVal = item.size;
            break;
        case p7::kpidAttrib:
            value->vt = p7::VT_UI4;
            value->ulVal = item.isDir ? 0x10 : 0x20; // directory / archive bit
            break;
        case p7::kpidMTime: {
            // A time before 1970 is written as 1970-01-01 00:00:00.
            const auto seconds = static_cast<std::uint64_t>(std::max<std::int64_t>(item.mtime, 0));
            value->vt = p7::VT_FILETIME;
            value->filetime = (seconds + kUnixEpochInFileTimeSeconds) * 10000000ull;
            break;
        }
        default:
            break;
        }
        return p7::S_OK;
    }

    p7::HRESULT GetStream(std::uint32_t index, p7::ISequentialInStream<L>** stream) override {
        if (!stream)
            return p7::E_FAIL;
        *stream = nullptr;
        if (progress_.checkCancelled())
            return p7::E_ABORT;
        if (index >= items_.size() || items_[index].isDir)
            return p7::S_OK;
        std::FILE* file = std::fopen(items_[index].fsPath.c_str(), "rb");
        if (!file)
            return p7::E_FAIL;
        auto* in = new (std::nothrow) InStream<L>(file);
        if (!in) {
            std::fclose(file);
            return p7::E_FAIL;
        }
        *stream = in;
        return p7::S_OK;
    }

    p7::HRESULT SetOperationResult(std::int32_t) override { return p7::S_OK; }

    p7::HRESULT CryptoGetTextPassword2(std::int32_t* isDefined, p7::BSTR* password) override {
        // Without one, the archive is written unencrypted.
        if (isDefined)
            *isDefined = password_.empty() ? 0 : 1;
        return handOver(password_, password);
    }

    bool cancelled() const { return progress_.cancelled(); }

private:
    const std::vector<UpdateItem>& items_;
    const std::wstring& password_;
    PluginProgress progress_;
};

} // namespace cfr
