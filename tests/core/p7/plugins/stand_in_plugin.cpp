// A stand-in for the 7-Zip plugin, built in several flavours to test the loader: with or without
// CreateObject, reporting an interface type or not (as old plugins do not). Its handler keeps
// files in a format of its own, so that packing and extracting through it call our objects in the
// layout it announces. Like 7-Zip, it works through the views it asks our objects for.
#include "p7/p7_ref_base.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace p7;
#if defined(STAND_IN_INTERFACE_TYPE) && STAND_IN_INTERFACE_TYPE != 1
constexpr Layout L = Layout::Plain;
#else
constexpr Layout L = Layout::VirtualDestructor;
#endif
// "STAND-IN", then name and data per entry, each led by its length; files only. Nothing but
// what this handler wrote is ever read back.
const std::string kMagic = "STAND-IN";

std::string field(const std::string& bytes) {
    const std::uint64_t size = bytes.size();
    return std::string(reinterpret_cast<const char*>(&size), 8) + bytes;
}

std::string takeField(const std::string& in, std::size_t& at) {
    std::uint64_t size = 0;
    std::memcpy(&size, in.data() + at, 8);
    at += 8 + size;
    return in.substr(at - size, size);
}

BSTR newBstr(const std::string& bytes) {
    auto* block = static_cast<char*>(std::calloc(bytes.size() + 8, 1));
    const auto length = static_cast<std::uint32_t>(bytes.size());
    std::memcpy(block, &length, 4);
    std::memcpy(block + 4, bytes.data(), bytes.size());
    return reinterpret_cast<BSTR>(block + 4);
}

// The BSTR's characters as bytes, the BSTR released.
std::string takeBstr(BSTR text) {
    const std::string bytes(reinterpret_cast<const char*>(text),
                            text ? std::wcslen(text) * sizeof(wchar_t) : 0);
    std::free(text ? reinterpret_cast<char*>(text) - 4 : nullptr);
    return bytes;
}

template <class I> Ref<I> ask(IUnknown<L>* object, const GUID& iid) {
    Ref<I> view;
    object->QueryInterface(iid, reinterpret_cast<void**>(view.receive()));
    return view;
}

class Writer final : public cfr::RefBase<IOutArchive<L>> {
public:
    HRESULT QueryInterface(const GUID& iid, void** out) override {
        return answer(iid, out, {IID_IUnknown, IID_IOutArchive});
    }
    HRESULT UpdateItems(ISequentialOutStream<L>* stream, std::uint32_t count,
                        IArchiveUpdateCallback<L>* callback) override {
        auto seekable = ask<IOutStream<L>>(stream, IID_IOutStream);
        auto crypto = ask<ICryptoGetTextPassword2<L>>(callback, IID_ICryptoGetTextPassword2);
        std::int32_t defined = 0;
        BSTR password = nullptr;
        if (!seekable || !crypto || crypto->CryptoGetTextPassword2(&defined, &password) != S_OK ||
            takeBstr(password).empty())
            return E_FAIL;
        std::string out = kMagic;
        callback->SetTotal(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            std::int32_t newData = 0, newProps = 0;
            std::uint32_t inArchive = 0;
            PROPVARIANT path{};
            Ref<ISequentialInStream<L>> in;
            if (callback->GetUpdateItemInfo(i, &newData, &newProps, &inArchive) != S_OK ||
                callback->GetProperty(i, kpidPath, &path) != S_OK || path.vt != VT_BSTR ||
                callback->GetStream(i, in.receive()) != S_OK)
                return E_FAIL;
            const std::string name = takeBstr(path.bstrVal);
            std::string data;
            char buffer[4096];
            for (std::uint32_t got = 1; in && got > 0; data.append(buffer, got))
                if (in->Read(buffer, sizeof buffer, &got) != S_OK)
                    return E_FAIL;
            if (in) // a folder has no stream; its files' names bring it back
                out += field(name) + field(data);
            const std::uint64_t done = i + 1;
            if (callback->SetOperationResult(0) != S_OK || callback->SetCompleted(&done) != S_OK)
                return E_ABORT;
        }
        std::uint64_t end = 0;
        if (stream->Write(out.data(), std::uint32_t(out.size()), nullptr) != S_OK ||
            seekable->Seek(0, 1, &end) != S_OK || end != out.size())
            return E_FAIL;
        return seekable->SetSize(end);
    }
    HRESULT GetFileTimeType(std::uint32_t*) override { return E_FAIL; }
};

class Reader final : public cfr::RefBase<IInArchive<L>> {
public:
    HRESULT QueryInterface(const GUID& iid, void** out) override {
        return answer(iid, out, {IID_IUnknown, IID_IInArchive});
    }
    HRESULT Open(IInStream<L>* stream, const std::uint64_t*,
                 IArchiveOpenCallback<L>* callback) override {
        auto file = ask<IInStream<L>>(stream, IID_IInStream);
        std::uint64_t size = 0;
        std::uint32_t got = 0;
        if (!file || callback->SetTotal(nullptr, nullptr) != S_OK ||
            file->Seek(0, 2, &size) != S_OK || file->Seek(0, 0, nullptr) != S_OK)
            return E_FAIL;
        std::string in(size, '\0');
        if (file->Read(in.data(), std::uint32_t(size), &got) != S_OK || got != size ||
            in.compare(0, kMagic.size(), kMagic) != 0)
            return S_FALSE;
        for (std::size_t at = kMagic.size(); at < in.size();) {
            names_.push_back(takeField(in, at));
            data_.push_back(takeField(in, at));
        }
        return callback->SetCompleted(nullptr, nullptr);
    }
    HRESULT GetNumberOfItems(std::uint32_t* count) override {
        *count = std::uint32_t(names_.size());
        return S_OK;
    }
    HRESULT GetProperty(std::uint32_t index, PROPID propId, PROPVARIANT* value) override {
        *value = PROPVARIANT{};
        if (propId == kpidPath) {
            value->vt = VT_BSTR;
            value->bstrVal = newBstr(names_.at(index));
        }
        return S_OK;
    }
    HRESULT Extract(const std::uint32_t*, std::uint32_t, std::int32_t,
                    IArchiveExtractCallback<L>* callback) override {
        auto crypto = ask<ICryptoGetTextPassword<L>>(callback, IID_ICryptoGetTextPassword);
        auto progress = ask<IProgress<L>>(callback, IID_IProgress);
        BSTR given = nullptr;
        if (!crypto || !progress || crypto->CryptoGetTextPassword(&given) != S_OK ||
            takeBstr(given).empty())
            return E_FAIL;
        progress->SetTotal(data_.size());
        for (std::uint32_t i = 0; i < data_.size(); ++i) {
            Ref<ISequentialOutStream<L>> handed;
            if (callback->GetStream(i, handed.receive(), 0) != S_OK || !handed ||
                callback->PrepareOperation(0) != S_OK)
                return E_FAIL;
            auto out = ask<ISequentialOutStream<L>>(handed.get(), IID_ISequentialOutStream);
            if (!out ||
                out->Write(data_[i].data(), std::uint32_t(data_[i].size()), nullptr) != S_OK)
                return E_FAIL;
            handed.reset();
            const std::uint64_t done = i + 1;
            if (callback->SetOperationResult(kOperationOk) != S_OK ||
                callback->SetCompleted(&done) != S_OK)
                return E_ABORT;
        }
        return S_OK;
    }
    HRESULT Close() override { return S_OK; }
    // Never asked by the engine.
    HRESULT GetArchiveProperty(PROPID, PROPVARIANT*) override { return E_FAIL; }
    HRESULT GetNumberOfProperties(std::uint32_t*) override { return E_FAIL; }
    HRESULT GetPropertyInfo(std::uint32_t, BSTR*, PROPID*, std::uint16_t*) override {
        return E_FAIL;
    }
    HRESULT GetNumberOfArchiveProperties(std::uint32_t*) override { return E_FAIL; }
    HRESULT GetArchivePropertyInfo(std::uint32_t, BSTR*, PROPID*, std::uint16_t*) override {
        return E_FAIL;
    }

private:
    std::vector<std::string> names_, data_;
};

} // namespace

extern "C" {

#ifndef STAND_IN_NO_CREATE_OBJECT
HRESULT CreateObject(const GUID* clsid, const GUID* iid, void** out) {
    *out = nullptr;
    if (!sameGuid(*clsid, CLSID_Format7z))
        return E_NOINTERFACE;
    if (sameGuid(*iid, IID_IOutArchive))
        *out = static_cast<IOutArchive<L>*>(new Writer);
    else if (sameGuid(*iid, IID_IInArchive))
        *out = static_cast<IInArchive<L>*>(new Reader);
    return *out ? S_OK : E_NOINTERFACE;
}
#endif

#ifdef STAND_IN_INTERFACE_TYPE
HRESULT GetModuleProp(PROPID propId, PROPVARIANT* value) {
    *value = PROPVARIANT{};
    if (propId == kModulePropInterfaceType) {
        value->vt = VT_UI4;
        value->ulVal = STAND_IN_INTERFACE_TYPE;
    }
    return S_OK;
}
#endif
}
