// 7z and AES zip archives written by the plugin: its coders run on every core, and it derives
// a zip entry's AES key several times faster than libzip through OpenSSL does.
#include "cfr.h"
#include "entry_names.h"
#include "p7/p7_backend.h"
#include "p7/p7_collect.h"
#include "p7/p7_loader.h"
#include "p7/p7_text.h"
#include "p7/p7_update_callback.h"
#include "staged_file.h"

#include <algorithm>
#include <cstdio>
#include <new>

namespace cfr {
namespace {

// One property at a time: the plugin stops at the first it does not know.
template <p7::Layout L>
void setProperty(p7::ISetProperties<L>* setter, const wchar_t* name, p7::PROPVARIANT value) {
    const wchar_t* names[] = {name};
    setter->SetProperties(names, &value, 1);
}

// A 7z with a password keeps its names readable; only the content is encrypted. A zip is
// encrypted with WinZip's AES-256 (the plugin's default is the old ZipCrypto), and names
// outside ASCII are stored as UTF-8, as the libzip writer stores them.
template <p7::Layout L> void setOptions(p7::IOutArchive<L>* archive, int kind, bool encrypted) {
    p7::Ref<p7::ISetProperties<L>> setter;
    if (archive->QueryInterface(p7::IID_ISetProperties,
                                reinterpret_cast<void**>(setter.receive())) != p7::S_OK ||
        !setter)
        return;
    p7::PROPVARIANT value = {};
    value.vt = p7::VT_BOOL;
    if (kind == SevenZip) {
        value.boolVal = p7::VARIANT_FALSE;
        if (encrypted)
            setProperty(setter.get(), L"he", value);
        return;
    }
    value.boolVal = p7::VARIANT_TRUE;
    setProperty(setter.get(), L"cu", value);
    if (!encrypted)
        return;
    value.vt = p7::VT_BSTR;
    value.bstrVal = allocBstr(L"AES256");
    if (value.bstrVal)
        setProperty(setter.get(), L"em", value);
    freeBstr(value.bstrVal);
}

template <p7::Layout L>
int packWith(const P7Lib& lib, int kind, const std::vector<UpdateItem>& items, StagedFile& output,
             const std::string& password, const ProgressSink* sink) {
    p7::Ref<p7::IOutArchive<L>> archive;
    if (lib.createObject(kind == Zip ? &p7::CLSID_FormatZip : &p7::CLSID_Format7z,
                         &p7::IID_IOutArchive,
                         reinterpret_cast<void**>(archive.receive())) != p7::S_OK ||
        !archive)
        return Failed;
    setOptions(archive.get(), kind, !password.empty());

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

bool p7TakesZipPassword(const std::string& password) {
    return !password.empty() && std::all_of(password.begin(), password.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x80;
    });
}

int p7Pack(const std::vector<std::string>& inputs, const std::string& dest,
           const std::string& password, const ProgressSink* sink, int kind) {
    if (inputs.empty() || (kind != SevenZip && kind != Zip))
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
               ? packWith<p7::Layout::Plain>(lib, kind, items, output, password, sink)
               : packWith<p7::Layout::VirtualDestructor>(lib, kind, items, output, password, sink);
}

} // namespace cfr
