// 7z archives written by the plugin: its LZMA2 coder runs on every core, and only it can
// encrypt.
#include "entry_names.h"
#include "p7/p7_collect.h"
#include "p7/p7_loader.h"
#include "p7/p7_ops.h"
#include "p7/p7_update_callback.h"
#include "staged_file.h"

#include <cstdio>
#include <new>

namespace cfr {
namespace {

// Names stay readable without the password; only the content is encrypted.
template <p7::Layout L> void keepNamesReadable(p7::IOutArchive<L>* archive) {
    p7::Ref<p7::ISetProperties<L>> setter;
    if (archive->QueryInterface(p7::IID_ISetProperties,
                                reinterpret_cast<void**>(setter.receive())) != p7::S_OK ||
        !setter)
        return;
    const wchar_t* names[] = {L"he"};
    p7::PROPVARIANT values[1] = {};
    values[0].vt = p7::VT_BOOL;
    values[0].boolVal = p7::VARIANT_FALSE;
    setter->SetProperties(names, values, 1);
}

template <p7::Layout L>
int packWith(const P7Lib& lib, const std::vector<UpdateItem>& items, StagedFile& output,
             const std::string& password, const ProgressSink* sink) {
    p7::Ref<p7::IOutArchive<L>> archive;
    if (lib.createObject(&p7::CLSID_Format7z, &p7::IID_IOutArchive,
                         reinterpret_cast<void**>(archive.receive())) != p7::S_OK ||
        !archive)
        return Failed;
    if (!password.empty())
        keepNamesReadable(archive.get());

    std::FILE* file = std::fopen(output.path().c_str(), "wb+");
    if (!file)
        return OpenFailed;
    const std::wstring widePassword = utf8ToWide(password);
    p7::HRESULT result = p7::E_FAIL;
    bool cancelled = false;
    {
        p7::Ref<OutStream<L>> stream(new (std::nothrow) OutStream<L>(file));
        p7::Ref<UpdateCallback<L>> callback(new (std::nothrow)
                                                UpdateCallback<L>(items, widePassword, sink));
        if (stream && callback) {
            result = archive->UpdateItems(stream.get(), static_cast<std::uint32_t>(items.size()),
                                          callback.get());
            cancelled = callback->cancelled();
        }
    }
    archive.reset();
    // The last buffered bytes reach the disk only now: a failure here is a failed pack.
    const bool closed = std::fclose(file) == 0;
    if (result != p7::S_OK || !closed)
        return cancelled ? Cancelled : Failed;
    const int committed = commitStaged(output, sink);
    if (committed == Ok && sink)
        sink->report(1.0);
    return committed;
}

} // namespace

int p7Pack(const std::vector<std::string>& inputs, const std::string& dest,
           const std::string& password, const ProgressSink* sink) {
    if (inputs.empty())
        return InvalidArgument;
    if (!p7Available())
        return Unsupported;
    StagedFile output(dest);
    if (!output.create())
        return OpenFailed;
    std::vector<UpdateItem> items;
    bool complete = true;
    for (const auto& input : nameInputs(inputs))
        complete = p7CollectItems(items, input.name, input.path, output) && complete;
    // An input that is not there would be missing from an archive reported as complete.
    if (!complete)
        return Failed;
    // Inputs that hold nothing storable (a pipe, a socket), as the zip writer judges them.
    if (items.empty())
        return Failed;
    const P7Lib& lib = p7Lib();
    return lib.layout == p7::Layout::Plain
               ? packWith<p7::Layout::Plain>(lib, items, output, password, sink)
               : packWith<p7::Layout::VirtualDestructor>(lib, items, output, password, sink);
}

} // namespace cfr
