// A stand-in for the 7-Zip plugin, built in several flavours to test the loader: with or
// without CreateObject, reporting an interface type or not (as old plugins do not). Its
// handler stores entries in a trivial format of its own, so that packing and extracting
// through it exercise our objects in the layout it announces.
#include "p7/p7_ref_base.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#if defined(STAND_IN_INTERFACE_TYPE) && STAND_IN_INTERFACE_TYPE != 1
constexpr p7::Layout kLayout = p7::Layout::Plain;
#else
constexpr p7::Layout kLayout = p7::Layout::VirtualDestructor;
#endif

namespace {

using namespace p7;
constexpr Layout L = kLayout;
const char kMagic[8] = {'S', 'T', 'A', 'N', 'D', '-', 'I', 'N'};

struct Entry {
    std::wstring name;
    bool isDir = false;
    std::string data;
};

BSTR newBstr(const std::wstring& text) {
    auto* block = static_cast<unsigned char*>(std::malloc(text.size() * 4 + 8));
    const auto bytes = static_cast<std::uint32_t>(text.size() * 4);
    std::memcpy(block, &bytes, 4);
    std::memcpy(block + 4, text.c_str(), text.size() * 4 + 4);
    return reinterpret_cast<BSTR>(block + 4);
}

std::wstring takeBstr(BSTR text) {
    std::wstring copy = text ? text : L"";
    if (text)
        std::free(reinterpret_cast<unsigned char*>(text) - 4);
    return copy;
}

void put(std::string& out, const void* data, std::size_t size) {
    out.append(static_cast<const char*>(data), size);
}

void putText(std::string& out, const std::wstring& text) {
    const auto count = static_cast<std::uint32_t>(text.size());
    put(out, &count, 4);
    put(out, text.data(), text.size() * 4);
}

template <class T> bool take(const std::string& in, std::size_t& at, T* value, std::size_t n = 1) {
    if (in.size() - at < sizeof(T) * n)
        return false;
    std::memcpy(value, in.data() + at, sizeof(T) * n);
    at += sizeof(T) * n;
    return true;
}

bool takeText(const std::string& in, std::size_t& at, std::wstring& text) {
    std::uint32_t count = 0;
    if (!take(in, at, &count) || count > in.size())
        return false;
    text.resize(count);
    return take(in, at, text.data(), count);
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
        if (!seekable || !crypto)
            return E_FAIL;
        std::int32_t defined = 0;
        BSTR password = nullptr;
        crypto->CryptoGetTextPassword2(&defined, &password);
        std::string out(kMagic, sizeof kMagic);
        putText(out, takeBstr(password));
        put(out, &count, 4);
        callback->SetTotal(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            std::int32_t newData = 0, newProps = 0;
            std::uint32_t inArchive = 0;
            callback->GetUpdateItemInfo(i, &newData, &newProps, &inArchive);
            PROPVARIANT path{}, isDir{};
            callback->GetProperty(i, kpidPath, &path);
            callback->GetProperty(i, kpidIsDir, &isDir);
            if (path.vt != VT_BSTR || isDir.vt != VT_BOOL)
                return E_FAIL;
            putText(out, takeBstr(path.bstrVal));
            const char dir = isDir.boolVal ? 1 : 0;
            put(out, &dir, 1);
            std::string data;
            Ref<ISequentialInStream<L>> in;
            if (callback->GetStream(i, in.receive()) != S_OK)
                return E_FAIL;
            for (char buffer[4096]; in;) {
                std::uint32_t got = 0;
                if (in->Read(buffer, sizeof buffer, &got) != S_OK)
                    return E_FAIL;
                if (got == 0)
                    break;
                data.append(buffer, got);
            }
            const std::uint64_t size = data.size();
            put(out, &size, 8);
            out += data;
            callback->SetOperationResult(0);
            const std::uint64_t done = i + 1;
            if (callback->SetCompleted(&done) != S_OK)
                return E_ABORT;
        }
        std::uint32_t written = 0;
        if (stream->Write(out.data(), static_cast<std::uint32_t>(out.size()), &written) != S_OK)
            return E_FAIL;
        std::uint64_t position = 0;
        if (seekable->Seek(0, 1, &position) != S_OK || position != out.size())
            return E_FAIL;
        return seekable->SetSize(position);
    }
    HRESULT GetFileTimeType(std::uint32_t* type) override {
        *type = 0;
        return S_OK;
    }
};

class Reader final : public cfr::RefBase<IInArchive<L>> {
public:
    HRESULT QueryInterface(const GUID& iid, void** out) override {
        return answer(iid, out, {IID_IUnknown, IID_IInArchive});
    }
    HRESULT Open(IInStream<L>* stream, const std::uint64_t*,
                 IArchiveOpenCallback<L>* callback) override {
        callback->SetTotal(nullptr, nullptr);
        std::uint64_t size = 0;
        if (stream->Seek(0, 2, &size) != S_OK || stream->Seek(0, 0, nullptr) != S_OK)
            return E_FAIL;
        std::string in(size, '\0');
        std::uint32_t got = 0;
        if (stream->Read(in.data(), static_cast<std::uint32_t>(size), &got) != S_OK || got != size)
            return S_FALSE;
        std::size_t at = 0;
        char magic[sizeof kMagic];
        std::uint32_t count = 0;
        if (!take(in, at, magic, sizeof magic) || std::memcmp(magic, kMagic, sizeof magic) ||
            !takeText(in, at, password_) || !take(in, at, &count))
            return S_FALSE;
        for (std::uint32_t i = 0; i < count; ++i) {
            Entry entry;
            char dir = 0;
            std::uint64_t length = 0;
            if (!takeText(in, at, entry.name) || !take(in, at, &dir) || !take(in, at, &length) ||
                length > in.size() - at)
                return S_FALSE;
            entry.isDir = dir != 0;
            entry.data = in.substr(at, length);
            at += length;
            entries_.push_back(entry);
        }
        return callback->SetCompleted(nullptr, nullptr);
    }
    HRESULT Close() override {
        entries_.clear();
        return S_OK;
    }
    HRESULT GetNumberOfItems(std::uint32_t* count) override {
        *count = static_cast<std::uint32_t>(entries_.size());
        return S_OK;
    }
    HRESULT GetProperty(std::uint32_t index, PROPID propId, PROPVARIANT* value) override {
        *value = PROPVARIANT{};
        if (index >= entries_.size())
            return E_FAIL;
        if (propId == kpidPath) {
            value->vt = VT_BSTR;
            value->bstrVal = newBstr(entries_[index].name);
        } else if (propId == kpidIsDir) {
            value->vt = VT_BOOL;
            value->boolVal = entries_[index].isDir ? VARIANT_TRUE : VARIANT_FALSE;
        }
        return S_OK;
    }
    // The content is "encrypted": an entry read with another password fails as data errors do.
    HRESULT Extract(const std::uint32_t*, std::uint32_t, std::int32_t testMode,
                    IArchiveExtractCallback<L>* callback) override {
        auto crypto = ask<ICryptoGetTextPassword<L>>(callback, IID_ICryptoGetTextPassword);
        BSTR given = nullptr;
        if (!crypto || crypto->CryptoGetTextPassword(&given) != S_OK)
            return E_FAIL;
        const bool right = takeBstr(given) == password_;
        callback->SetTotal(entries_.size());
        for (std::uint32_t i = 0; i < entries_.size(); ++i) {
            const std::int32_t mode = testMode ? 1 : 0;
            Ref<ISequentialOutStream<L>> out;
            if (callback->GetStream(i, out.receive(), mode) != S_OK)
                return E_FAIL;
            callback->PrepareOperation(mode);
            if (out && right && !entries_[i].data.empty() &&
                out->Write(entries_[i].data.data(),
                           static_cast<std::uint32_t>(entries_[i].data.size()), nullptr) != S_OK)
                return E_FAIL;
            out.reset();
            callback->SetOperationResult(right ? kOperationOk : 9);
            const std::uint64_t done = i + 1;
            if (callback->SetCompleted(&done) != S_OK)
                return E_ABORT;
        }
        return S_OK;
    }
    HRESULT GetArchiveProperty(PROPID, PROPVARIANT* value) override {
        *value = PROPVARIANT{};
        return S_OK;
    }
    HRESULT GetNumberOfProperties(std::uint32_t* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT GetPropertyInfo(std::uint32_t, BSTR*, PROPID*, std::uint16_t*) override {
        return E_FAIL;
    }
    HRESULT GetNumberOfArchiveProperties(std::uint32_t* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT GetArchivePropertyInfo(std::uint32_t, BSTR*, PROPID*, std::uint16_t*) override {
        return E_FAIL;
    }

private:
    std::wstring password_;
    std::vector<Entry> entries_;
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
