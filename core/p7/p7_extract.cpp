// Archives read by the plugin: every 7z (plain, with encrypted content or encrypted names),
// and the zip archives libzip cannot read.
#include "cpu_cores.h"
#include "failure_reason.h"
#include "job_threads.h"
#include "p7/p7_backend.h"
#include "p7/p7_open.h"
#include "safe_path.h"

#include <algorithm>
#include <atomic>
#include <numeric>
#include <optional>
#include <unordered_set>

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

// Zip entries stand apart from each other, so each core may open the archive in a handler of
// its own and extract a run of them; 7z's solid blocks may not be split that way. Entries
// bound for the same place keep the archive's order on one thread.
bool shareable(const p7::GUID& format, const std::vector<ExtractItem>& items) {
    if (!p7::sameGuid(format, p7::CLSID_FormatZip) || items.size() < 2 || usableCores() < 2)
        return false;
    std::unordered_set<std::string> places;
    for (const ExtractItem& item : items)
        if (!item.path.empty() && !places.insert(item.path).second)
            return false;
    return true;
}

struct Share {
    std::uint32_t first = 0;
    std::uint32_t end = 0;
    double weight = 0; // of the whole job's progress
};

// Runs of entries of about equal cost. An encrypted entry's key derivation costs about as
// much as inflating 64 KiB, and many archives are thousands of small entries.
std::vector<Share> shareOut(const std::vector<ExtractItem>& items, int cores) {
    const std::uint64_t perEntry = 64 * 1024;
    std::uint64_t total = 0;
    for (const ExtractItem& item : items)
        total += item.size + perEntry;
    std::vector<Share> shares;
    std::uint64_t done = 0;
    std::uint64_t shareStart = 0;
    for (std::uint32_t i = 0; i < items.size(); ++i) {
        done += items[i].size + perEntry;
        const std::uint64_t mark = total / std::uint64_t(cores) * (shares.size() + 1);
        if (i + 1 == items.size() || done >= mark) {
            const std::uint32_t first = shares.empty() ? 0 : shares.back().end;
            shares.push_back({first, i + 1, double(done - shareStart) / double(total)});
            shareStart = done;
        }
    }
    return shares;
}

// One thread's run: how far it has come, and the job's stop request.
struct ShareState {
    std::atomic<double> fraction{0};
    const std::atomic<bool>* stop = nullptr;
    bool extractOk = false;

    static void record(void* self, double fraction) {
        static_cast<ShareState*>(self)->fraction = fraction;
    }
    static int stopAsked(void* self) { return *static_cast<ShareState*>(self)->stop ? 1 : 0; }
};

template <p7::Layout L>
void extractShare(const P7Lib& lib, const std::string& archivePath, const std::string& password,
                  const std::vector<ExtractItem>& items, const Share& share, ExtractTally& tally,
                  ShareState& state) {
    P7Archive<L> archive(password);
    if (archive.open(lib, p7::CLSID_FormatZip, archivePath) != Ok)
        return;
    std::vector<std::uint32_t> indices(share.end - share.first);
    std::iota(indices.begin(), indices.end(), share.first);
    const ProgressSink sink{ShareState::record, &state, ShareState::stopAsked};
    p7::Ref<ExtractCb<L>> callback(new (std::nothrow)
                                       ExtractCb<L>(items, archive.password(), &sink, tally));
    if (!callback)
        return;
    const p7::HRESULT result =
        archive.get()->Extract(indices.data(), std::uint32_t(indices.size()), 0, callback.get());
    callback->finish();
    state.extractOk = result == p7::S_OK;
}

// The job's thread hands the runs to threads of their own, then reports their progress and
// passes on a cancel until all of them are done.
template <p7::Layout L>
int extractInShares(const P7Lib& lib, const std::string& archivePath, const std::string& password,
                    const std::vector<ExtractItem>& items, const ProgressSink* sink,
                    ExtractTally& tally) {
    // Asked before any thread starts, a cancel leaves nothing behind.
    if (sink && sink->cancelled())
        return Cancelled;
    const std::vector<Share> shares = shareOut(items, usableCores());
    std::atomic<bool> stop{false};
    std::vector<ShareState> states(shares.size());
    JobThreads threads;
    for (std::size_t i = 0; i < shares.size(); ++i) {
        states[i].stop = &stop;
        const auto run = [&, i] {
            try {
                extractShare<L>(lib, archivePath, password, items, shares[i], tally, states[i]);
            } catch (...) {
                // Out of memory: the run is not done, and the job fails.
            }
        };
        if (!threads.start(run))
            run(); // no thread to be had: this run on the job's own
    }
    threads.finish([&] {
        double fraction = 0;
        for (std::size_t i = 0; i < shares.size(); ++i)
            fraction += shares[i].weight * states[i].fraction;
        if (sink) {
            sink->report(std::min(fraction, 1.0));
            stop = stop || sink->cancelled();
        }
    });
    bool extractOk = true;
    for (const ShareState& state : states)
        extractOk = extractOk && state.extractOk;
    return tally.outcome(stop, extractOk);
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
    ExtractTally tally;
    int outcome = Failed;
    if (shareable(format, items)) {
        outcome = extractInShares<L>(lib, archivePath, password, items, sink, tally);
    } else {
        p7::Ref<ExtractCb<L>> callback(new (std::nothrow)
                                           ExtractCb<L>(items, archive.password(), sink, tally));
        if (!callback)
            return Failed;
        const p7::HRESULT result = archive.get()->Extract(nullptr, 0xFFFFFFFFu, 0, callback.get());
        callback->finish();
        outcome = tally.outcome(callback->cancelled(), result == p7::S_OK);
    }
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
