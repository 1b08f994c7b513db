// The 7-Zip interfaces the engine calls or implements, for both object layouts a plugin can
// have. Methods are declared in the plugin's slot order: a base interface's methods first.
#pragma once

#include "p7/p7_types.h"

namespace p7 {

// 7-Zip 23 and later put nothing after Release; p7zip and the older Unix builds of 7-Zip
// declare a virtual destructor there, which takes two slots. Our objects must match the
// loaded plugin slot for slot, so every interface exists in both layouts.
enum class Layout { Plain, VirtualDestructor };

struct UnknownMethods {
    virtual HRESULT QueryInterface(const GUID& iid, void** out) = 0;
    virtual std::uint32_t AddRef() = 0;
    virtual std::uint32_t Release() = 0;

protected:
    ~UnknownMethods() = default;
};

template <Layout L> struct IUnknown : UnknownMethods {
protected:
    ~IUnknown() = default;
};

template <> struct IUnknown<Layout::VirtualDestructor> : UnknownMethods {
    virtual ~IUnknown() = default;
};

template <Layout L> struct ISequentialInStream : IUnknown<L> {
    virtual HRESULT Read(void* data, std::uint32_t size, std::uint32_t* processed) = 0;
};

template <Layout L> struct ISequentialOutStream : IUnknown<L> {
    virtual HRESULT Write(const void* data, std::uint32_t size, std::uint32_t* processed) = 0;
};

template <Layout L> struct IInStream : ISequentialInStream<L> {
    virtual HRESULT Seek(std::int64_t offset, std::uint32_t origin, std::uint64_t* position) = 0;
};

template <Layout L> struct IOutStream : ISequentialOutStream<L> {
    virtual HRESULT Seek(std::int64_t offset, std::uint32_t origin, std::uint64_t* position) = 0;
    virtual HRESULT SetSize(std::uint64_t size) = 0;
};

template <Layout L> struct IProgress : IUnknown<L> {
    virtual HRESULT SetTotal(std::uint64_t total) = 0;
    virtual HRESULT SetCompleted(const std::uint64_t* completed) = 0;
};

template <Layout L> struct ICryptoGetTextPassword : IUnknown<L> {
    virtual HRESULT CryptoGetTextPassword(BSTR* password) = 0;
};

template <Layout L> struct ICryptoGetTextPassword2 : IUnknown<L> {
    virtual HRESULT CryptoGetTextPassword2(std::int32_t* isDefined, BSTR* password) = 0;
};

template <Layout L> struct ISetProperties : IUnknown<L> {
    virtual HRESULT SetProperties(const wchar_t* const* names, const PROPVARIANT* values,
                                  std::uint32_t count) = 0;
};

template <Layout L> struct IArchiveOpenCallback : IUnknown<L> {
    virtual HRESULT SetTotal(const std::uint64_t* files, const std::uint64_t* bytes) = 0;
    virtual HRESULT SetCompleted(const std::uint64_t* files, const std::uint64_t* bytes) = 0;
};

template <Layout L> struct IArchiveExtractCallback : IProgress<L> {
    virtual HRESULT GetStream(std::uint32_t index, ISequentialOutStream<L>** stream,
                              std::int32_t askMode) = 0;
    virtual HRESULT PrepareOperation(std::int32_t askMode) = 0;
    virtual HRESULT SetOperationResult(std::int32_t result) = 0;
};

template <Layout L> struct IInArchive : IUnknown<L> {
    virtual HRESULT Open(IInStream<L>* stream, const std::uint64_t* maxCheckStartPosition,
                         IArchiveOpenCallback<L>* callback) = 0;
    virtual HRESULT Close() = 0;
    virtual HRESULT GetNumberOfItems(std::uint32_t* count) = 0;
    virtual HRESULT GetProperty(std::uint32_t index, PROPID propId, PROPVARIANT* value) = 0;
    virtual HRESULT Extract(const std::uint32_t* indices, std::uint32_t count,
                            std::int32_t testMode, IArchiveExtractCallback<L>* callback) = 0;
    virtual HRESULT GetArchiveProperty(PROPID propId, PROPVARIANT* value) = 0;
    virtual HRESULT GetNumberOfProperties(std::uint32_t* count) = 0;
    virtual HRESULT GetPropertyInfo(std::uint32_t index, BSTR* name, PROPID* propId,
                                    std::uint16_t* varType) = 0;
    virtual HRESULT GetNumberOfArchiveProperties(std::uint32_t* count) = 0;
    virtual HRESULT GetArchivePropertyInfo(std::uint32_t index, BSTR* name, PROPID* propId,
                                           std::uint16_t* varType) = 0;
};

template <Layout L> struct IArchiveUpdateCallback : IProgress<L> {
    virtual HRESULT GetUpdateItemInfo(std::uint32_t index, std::int32_t* newData,
                                      std::int32_t* newProps, std::uint32_t* indexInArchive) = 0;
    virtual HRESULT GetProperty(std::uint32_t index, PROPID propId, PROPVARIANT* value) = 0;
    virtual HRESULT GetStream(std::uint32_t index, ISequentialInStream<L>** stream) = 0;
    virtual HRESULT SetOperationResult(std::int32_t result) = 0;
};

template <Layout L> struct IOutArchive : IUnknown<L> {
    virtual HRESULT UpdateItems(ISequentialOutStream<L>* stream, std::uint32_t count,
                                IArchiveUpdateCallback<L>* callback) = 0;
    virtual HRESULT GetFileTimeType(std::uint32_t* type) = 0;
};

// Holds one reference to a plugin-boundary object and drops it when it goes.
template <class T> class Ref {
public:
    Ref() = default;
    // Takes over a reference the caller already owns (a new object's first one).
    explicit Ref(T* object) : object_(object) {}
    ~Ref() { reset(); }
    Ref(Ref&& other) noexcept : object_(other.object_) { other.object_ = nullptr; }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;

    T* get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    // For out-parameters that hand over a reference.
    T** receive() {
        reset();
        return &object_;
    }
    // Drops the reference held, then takes over the one given (if any).
    void reset(T* adopted = nullptr) {
        if (object_)
            object_->Release();
        object_ = adopted;
    }

private:
    T* object_ = nullptr;
};

} // namespace p7
