// Streams over files, handed to the plugin to read and write archive data.
#pragma once

#include "output_file.h"
#include "p7/p7_ref_base.h"

#include <cstdio>

namespace cfr {

namespace p7io {

inline p7::HRESULT read(std::FILE* file, void* data, std::uint32_t size, std::uint32_t* processed) {
    const std::size_t got = std::fread(data, 1, size, file);
    if (processed)
        *processed = static_cast<std::uint32_t>(got);
    return std::ferror(file) ? p7::E_FAIL : p7::S_OK;
}

inline p7::HRESULT seek(std::FILE* file, std::int64_t offset, std::uint32_t origin,
                        std::uint64_t* position) {
    const int whence = origin == 0 ? SEEK_SET : origin == 1 ? SEEK_CUR : SEEK_END;
    if (fseeko(file, static_cast<off_t>(offset), whence) != 0)
        return p7::E_FAIL;
    const off_t now = ftello(file);
    if (now < 0)
        return p7::E_FAIL;
    if (position)
        *position = static_cast<std::uint64_t>(now);
    return p7::S_OK;
}

} // namespace p7io

// The archive being written; the file stays open for its owner to close and check.
template <p7::Layout L> class OutStream final : public RefBase<p7::IOutStream<L>> {
public:
    explicit OutStream(std::FILE* file) : file_(file) {}

    p7::HRESULT QueryInterface(const p7::GUID& iid, void** out) override {
        return this->answer(iid, out,
                            {p7::IID_IUnknown, p7::IID_ISequentialOutStream, p7::IID_IOutStream});
    }
    p7::HRESULT Write(const void* data, std::uint32_t size, std::uint32_t* processed) override {
        const std::size_t put = size ? std::fwrite(data, 1, size, file_) : 0;
        if (processed)
            *processed = static_cast<std::uint32_t>(put);
        return put == size ? p7::S_OK : p7::E_FAIL;
    }
    p7::HRESULT Seek(std::int64_t offset, std::uint32_t origin, std::uint64_t* position) override {
        return p7io::seek(file_, offset, origin, position);
    }
    p7::HRESULT SetSize(std::uint64_t) override { return p7::S_OK; }

private:
    std::FILE* file_;
};

// A source file being packed.
template <p7::Layout L> class InStream final : public RefBase<p7::ISequentialInStream<L>> {
public:
    explicit InStream(std::FILE* file) : file_(file) {}
    ~InStream() override { std::fclose(file_); }

    p7::HRESULT QueryInterface(const p7::GUID& iid, void** out) override {
        return this->answer(iid, out, {p7::IID_IUnknown, p7::IID_ISequentialInStream});
    }
    p7::HRESULT Read(void* data, std::uint32_t size, std::uint32_t* processed) override {
        return p7io::read(file_, data, size, processed);
    }

private:
    std::FILE* file_;
};

// The archive being read.
template <p7::Layout L> class ArcInStream final : public RefBase<p7::IInStream<L>> {
public:
    explicit ArcInStream(std::FILE* file) : file_(file) {}
    ~ArcInStream() override { std::fclose(file_); }

    p7::HRESULT QueryInterface(const p7::GUID& iid, void** out) override {
        return this->answer(iid, out,
                            {p7::IID_IUnknown, p7::IID_ISequentialInStream, p7::IID_IInStream});
    }
    p7::HRESULT Read(void* data, std::uint32_t size, std::uint32_t* processed) override {
        return p7io::read(file_, data, size, processed);
    }
    p7::HRESULT Seek(std::int64_t offset, std::uint32_t origin, std::uint64_t* position) override {
        return p7io::seek(file_, offset, origin, position);
    }

private:
    std::FILE* file_;
};

// One extracted file. Every write is checked, and so is the close, which its extraction
// callback asks for once the entry is done.
template <p7::Layout L> class FileOutStream final : public RefBase<p7::ISequentialOutStream<L>> {
public:
    p7::HRESULT QueryInterface(const p7::GUID& iid, void** out) override {
        return this->answer(iid, out, {p7::IID_IUnknown, p7::IID_ISequentialOutStream});
    }
    p7::HRESULT Write(const void* data, std::uint32_t size, std::uint32_t* processed) override {
        const bool ok = file_.write(data, size);
        if (processed)
            *processed = ok ? size : 0;
        return ok ? p7::S_OK : p7::E_FAIL;
    }

    bool open(const std::filesystem::path& path) { return file_.open(path); }
    std::uint64_t written() const { return file_.end(); }
    // True when every write and the close succeeded; later writes fail.
    bool finish() { return file_.close(); }
    // Removes the file: its entry failed its check or never ended.
    void discard() { file_.discard(); }

private:
    OutputFile file_;
};

} // namespace cfr
