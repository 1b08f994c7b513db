// The archive engine's public interface: Qt-free, UTF-8 paths, integer results, never throws.
#pragma once

namespace cfr {

enum ArchiveKind : int {
    Unknown = -1,
    Package = 0,
    Zip = 1,
    Rar = 2,
    SevenZip = 3,
    Tar = 4,
    TarGz = 5,
    TarBz2 = 6,
    TarXz = 7,
    TarZst = 8,
    Gz = 9,
    Bz2 = 10,
    Xz = 11,
    Zst = 12,
};

enum FormatCap : int {
    CapPack = 1,
    CapExtract = 2,
    CapEncrypt = 4,
};

enum EngineResult : int {
    Ok = 0,
    OpenFailed = 1,
    BadPassword = 2,
    Unsupported = 3,
    Failed = 4,
    InvalidArgument = 5,
    // The caller asked the job to stop; partial output was removed as for a failure.
    Cancelled = 6,
};

// Called on the job's thread with a fraction growing towards 1 (done).
typedef void (*ProgressFn)(void* context, double fraction);
// Polled wherever progress is reported; a non-zero answer stops the job at that point.
typedef int (*CancelFn)(void* context);

struct ProgressSink {
    ProgressFn fn = nullptr;
    void* context = nullptr;
    CancelFn cancel = nullptr;

    void report(double fraction) const {
        if (fn)
            fn(context, fraction);
    }
    bool cancelled() const { return cancel && cancel(context) != 0; }
};

int pack(const char* const* inputs, int count, const char* dest, const char* password,
         ProgressFn fn, void* context, CancelFn cancel = nullptr);
int extract(const char* archive, const char* destDir, const char* password, ProgressFn fn,
            void* context, CancelFn cancel = nullptr);

int archiveKind(const char* path);
int archiveSupported(const char* path);
int archiveNeedsPassword(const char* path);
int formatCaps(int kind);

const char* version();
void setTempDir(const char* dir);
int randomPassword(char* buffer, int size);

} // namespace cfr
