// Archives read by the plugin: every 7z (plain, with encrypted content or encrypted names),
// and the zip archives libzip cannot read.
#include "failure_reason.h"
#include "p7/p7_backend.h"
#include "p7/p7_open.h"
#include "safe_path.h"

#include <optional>

namespace cfr {
namespace {

template <p7::Layout L> std::string itemName(p7::IInArchive<L>* archive, std::uint32_t index) {
    p7::PROPVARIANT value{};
    std::string name;
    if (archive->GetProperty(index, p7::kpidPath, &value) == p7::S_OK && value.vt == p7::VT_BSTR &&
        value.bstrVal)
        name = entryNameToUtf8(value.bstrVal);
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
int extractWith(const P7Lib& lib, const p7::GUID& format, const std::string& archivePath,
                const std::string& destDir, const std::string& password, const ProgressSink* sink) {
    P7Archive<L> archive(password);
    const int opened = archive.open(lib, format, archivePath);
    if (opened != Ok)
        return opened;

    std::error_code ignored;
    std::filesystem::create_directories(destDir, ignored);
    const std::vector<ExtractItem> items = placeItems(archive.get(), destDir);
    p7::Ref<ExtractCb<L>> callback(new (std::nothrow)
                                       ExtractCb<L>(items, archive.password(), sink));
    if (!callback)
        return Failed;
    const p7::HRESULT result = archive.get()->Extract(nullptr, 0xFFFFFFFFu, 0, callback.get());
    callback->finish();
    const int outcome = callback->outcome(result);
    if (outcome == Unsupported)
        noteFailure(MethodUnsupported);
    if (outcome != Ok)
        return outcome;
    if (sink)
        sink->report(1.0);
    return Ok;
}

template <p7::Layout L> P7Probe probeWith(const P7Lib& lib, const std::string& archivePath) {
    P7Archive<L> archive("");
    P7Probe probe;
    probe.opened = archive.open(lib, p7::CLSID_FormatZip, archivePath) == Ok;
    std::uint32_t count = 0;
    if (probe.opened)
        archive.get()->GetNumberOfItems(&count);
    for (std::uint32_t i = 0; i < count && !probe.encrypted; ++i)
        probe.encrypted = itemFlag(archive.get(), i, p7::kpidEncrypted);
    return probe;
}

int extractFormat(const p7::GUID& format, const std::string& archive, const std::string& destDir,
                  const std::string& password, const ProgressSink* sink) {
    if (!p7Available())
        return Unsupported;
    const P7Lib& lib = p7Lib();
    return lib.layout == p7::Layout::Plain
               ? extractWith<p7::Layout::Plain>(lib, format, archive, destDir, password, sink)
               : extractWith<p7::Layout::VirtualDestructor>(lib, format, archive, destDir, password,
                                                            sink);
}

} // namespace

int p7Extract(const std::string& archive, const std::string& destDir, const std::string& password,
              const ProgressSink* sink) {
    return extractFormat(p7::CLSID_Format7z, archive, destDir, password, sink);
}

int p7ExtractZip(const std::string& archive, const std::string& destDir,
                 const std::string& password, const ProgressSink* sink) {
    return extractFormat(p7::CLSID_FormatZip, archive, destDir, password, sink);
}

P7Probe p7ProbeZip(const std::string& archive) {
    if (!p7Available())
        return {};
    const P7Lib& lib = p7Lib();
    return lib.layout == p7::Layout::Plain ? probeWith<p7::Layout::Plain>(lib, archive)
                                           : probeWith<p7::Layout::VirtualDestructor>(lib, archive);
}

} // namespace cfr
