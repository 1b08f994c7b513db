// Every 7z archive, read by the plugin: plain, with encrypted content or encrypted names.
#include "p7/p7_extract_callbacks.h"
#include "p7/p7_loader.h"
#include "p7/p7_ops.h"
#include "safe_path.h"

#include <cstdio>
#include <optional>

namespace cfr {
namespace {

// Archives may carry a self-extractor or other data before the 7z signature.
constexpr std::uint64_t kLargestStartOffset = 0x800000;

template <p7::Layout L> std::string itemName(p7::IInArchive<L>* archive, std::uint32_t index) {
    p7::PROPVARIANT value{};
    std::string name;
    if (archive->GetProperty(index, p7::kpidPath, &value) == p7::S_OK && value.vt == p7::VT_BSTR &&
        value.bstrVal)
        name = wideToUtf8(value.bstrVal);
    if (value.vt == p7::VT_BSTR)
        freeBstr(value.bstrVal);
    return name;
}

template <p7::Layout L>
bool itemFlag(p7::IInArchive<L>* archive, std::uint32_t index, p7::PROPID property) {
    p7::PROPVARIANT value{};
    return archive->GetProperty(index, property, &value) == p7::S_OK && value.vt == p7::VT_BOOL &&
           value.boolVal != 0;
}

template <p7::Layout L>
std::optional<std::uint64_t> itemSize(p7::IInArchive<L>* archive, std::uint32_t index) {
    p7::PROPVARIANT value{};
    if (archive->GetProperty(index, p7::kpidSize, &value) != p7::S_OK)
        return std::nullopt;
    if (value.vt == p7::VT_UI8)
        return value.uhVal;
    if (value.vt == p7::VT_UI4)
        return value.ulVal;
    return std::nullopt;
}

// Where each entry lands; an entry that would land outside destDir gets no place at all.
template <p7::Layout L>
std::vector<ExtractItem> placeItems(p7::IInArchive<L>* archive, const std::string& destDir) {
    std::uint32_t count = 0;
    archive->GetNumberOfItems(&count);
    std::vector<ExtractItem> items(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        ExtractItem& item = items[i];
        if (const auto target = safeTarget(destDir, itemName(archive, i)))
            item.path = target->string();
        item.isDir = itemFlag(archive, i, p7::kpidIsDir);
        item.encrypted = itemFlag(archive, i, p7::kpidEncrypted);
        const auto size = itemSize(archive, i);
        item.sizeKnown = size.has_value();
        item.size = size.value_or(0);
    }
    return items;
}

template <p7::Layout L>
int extractWith(const P7Lib& lib, const std::string& archivePath, const std::string& destDir,
                const std::string& password, const ProgressSink* sink) {
    p7::Ref<p7::IInArchive<L>> archive;
    if (lib.createObject(&p7::CLSID_Format7z, &p7::IID_IInArchive,
                         reinterpret_cast<void**>(archive.receive())) != p7::S_OK ||
        !archive)
        return InvalidArgument;
    std::FILE* file = std::fopen(archivePath.c_str(), "rb");
    if (!file)
        return OpenFailed;
    p7::Ref<ArcInStream<L>> stream(new (std::nothrow) ArcInStream<L>(file));
    if (!stream) {
        std::fclose(file);
        return Failed;
    }
    const std::wstring widePassword = utf8ToWide(password);
    p7::Ref<OpenCb<L>> openCb(new (std::nothrow) OpenCb<L>(widePassword));
    if (!openCb)
        return Failed;
    if (archive->Open(stream.get(), &kLargestStartOffset, openCb.get()) != p7::S_OK)
        return OpenFailed;

    std::error_code ignored;
    std::filesystem::create_directories(destDir, ignored);
    const std::vector<ExtractItem> items = placeItems(archive.get(), destDir);
    int outcome = Failed;
    {
        p7::Ref<ExtractCb<L>> callback(new (std::nothrow) ExtractCb<L>(items, widePassword, sink));
        if (callback) {
            const p7::HRESULT result = archive->Extract(nullptr, 0xFFFFFFFFu, 0, callback.get());
            callback->finish();
            outcome = callback->outcome(result);
        }
    }
    archive->Close();
    if (outcome != Ok)
        return outcome;
    if (sink)
        sink->report(1.0);
    return Ok;
}

} // namespace

int p7Extract(const std::string& archive, const std::string& destDir, const std::string& password,
              const ProgressSink* sink) {
    if (!p7Available())
        return Unsupported;
    const P7Lib& lib = p7Lib();
    return lib.layout == p7::Layout::Plain
               ? extractWith<p7::Layout::Plain>(lib, archive, destDir, password, sink)
               : extractWith<p7::Layout::VirtualDestructor>(lib, archive, destDir, password, sink);
}

} // namespace cfr
