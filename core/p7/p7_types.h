// The plain data of the 7-Zip plugin boundary: identifiers, result codes, strings and
// property values, laid out as the plugin expects them on this platform.
#pragma once

#include <cstdint>
#include <cstring>

namespace p7 {

static_assert(sizeof(wchar_t) == 4, "the plugin's wide characters are UTF-32");

using HRESULT = std::int32_t;
using PROPID = std::uint32_t;
// UTF-32 text preceded by its byte length (32 bits) and followed by a zero character.
using BSTR = wchar_t*;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_ABORT = static_cast<HRESULT>(0x80004004u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);

struct GUID {
    std::uint32_t data1;
    std::uint16_t data2;
    std::uint16_t data3;
    std::uint8_t data4[8];
};

inline bool sameGuid(const GUID& a, const GUID& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// 7-Zip's identifiers share one prefix and differ in a group and an id byte.
constexpr GUID sevenZipIid(std::uint8_t group, std::uint8_t id) {
    return {0x23170F69, 0x40C1, 0x278A, {0x00, 0x00, 0x00, group, 0x00, id, 0x00, 0x00}};
}

constexpr GUID IID_IUnknown = {0, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr GUID IID_ISequentialInStream = sevenZipIid(0x03, 0x01);
constexpr GUID IID_ISequentialOutStream = sevenZipIid(0x03, 0x02);
constexpr GUID IID_IInStream = sevenZipIid(0x03, 0x03);
constexpr GUID IID_IOutStream = sevenZipIid(0x03, 0x04);
constexpr GUID IID_IProgress = sevenZipIid(0x00, 0x05);
constexpr GUID IID_ICryptoGetTextPassword = sevenZipIid(0x05, 0x10);
constexpr GUID IID_ICryptoGetTextPassword2 = sevenZipIid(0x05, 0x11);
constexpr GUID IID_ISetProperties = sevenZipIid(0x06, 0x03);
constexpr GUID IID_IArchiveOpenCallback = sevenZipIid(0x06, 0x10);
constexpr GUID IID_IArchiveExtractCallback = sevenZipIid(0x06, 0x20);
constexpr GUID IID_IInArchive = sevenZipIid(0x06, 0x60);
constexpr GUID IID_IArchiveUpdateCallback = sevenZipIid(0x06, 0x80);
constexpr GUID IID_IOutArchive = sevenZipIid(0x06, 0xA0);
// The plugin's format handlers differ in one id byte.
constexpr GUID formatClsid(std::uint8_t id) {
    return {0x23170F69, 0x40C1, 0x278A, {0x10, 0x00, 0x00, 0x01, 0x10, id, 0x00, 0x00}};
}
constexpr GUID CLSID_Format7z = formatClsid(0x07);
constexpr GUID CLSID_FormatZip = formatClsid(0x01);

enum VarType : std::uint16_t {
    VT_EMPTY = 0,
    VT_BSTR = 8,
    VT_BOOL = 11,
    VT_UI4 = 19,
    VT_UI8 = 21,
    VT_FILETIME = 64,
};

constexpr std::int16_t VARIANT_TRUE = -1;
constexpr std::int16_t VARIANT_FALSE = 0;

struct PROPVARIANT {
    std::uint16_t vt;
    std::uint16_t reserved1;
    std::uint16_t reserved2;
    std::uint16_t reserved3;
    union {
        std::int16_t boolVal;
        std::uint32_t ulVal;
        std::uint64_t uhVal;
        std::uint64_t filetime; // 100 ns intervals since 1601-01-01 UTC
        BSTR bstrVal;
    };
};
static_assert(sizeof(PROPVARIANT) == 16, "PROPVARIANT is 16 bytes");

enum ItemProperty : PROPID {
    kpidPath = 3,
    kpidIsDir = 6,
    kpidSize = 7,
    kpidAttrib = 9,
    kpidMTime = 12,
    kpidEncrypted = 15,
};

// Module property asked through GetModuleProp: how the plugin lays out IUnknown.
constexpr PROPID kModulePropInterfaceType = 0;
constexpr std::uint32_t kInterfaceTypePlain = 0;
constexpr std::uint32_t kInterfaceTypeVirtualDestructor = 1;

// Extraction: what the plugin asks a stream for, and how an entry ended.
constexpr std::int32_t kAskExtract = 0;
constexpr std::int32_t kOperationOk = 0;
constexpr std::int32_t kOperationUnsupportedMethod = 1;
constexpr std::int32_t kOperationWrongPassword = 9;

using CreateObjectFn = HRESULT (*)(const GUID* clsid, const GUID* iid, void** outObject);
using GetModulePropFn = HRESULT (*)(PROPID propId, PROPVARIANT* value);

} // namespace p7
