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

// What every backend answers, with one meaning each.
enum EngineResult : int {
    Ok = 0,
    // The archive (or the destination being written) could not be opened at all.
    OpenFailed = 1,
    // Only where the password is the likely cause: a wrong one, or none for encrypted data.
    BadPassword = 2,
    // A format, method or route this build cannot handle; no other password or retry helps.
    Unsupported = 3,
    // Damaged data, an I/O error, a full disk, a library out of memory.
    Failed = 4,
    // The caller's own arguments: no inputs, no destination, a package without a password.
    InvalidArgument = 5,
    // The caller asked the job to stop; partial output was removed as for a failure.
    Cancelled = 6,
};

// Called on the job's thread with a fraction growing towards 1 (done).
typedef void (*ProgressFn)(void* context, double fraction);
// Polled wherever progress is reported; a non-zero answer stops the job at that point.
typedef int (*CancelFn)(void* context);

// Packs inputs (files and folders, each stored under its own name) into dest. The format is
// chosen by dest's suffix (archiveKind), with two rules a caller cannot guess from it:
// - a name with no known suffix becomes a package when a password is given, a plain zip
//   otherwise;
// - 7z is written by the 7z plugin when it is present (LZMA2 on every core; with a password,
//   AES-256 over the content, names left readable), otherwise by libarchive (LZMA on one
//   core), which cannot encrypt: an encrypted 7z without the plugin is Unsupported.
// A password with a format that cannot encrypt (the tar family) is Unsupported; a package
// without one is InvalidArgument. dest is replaced only once the new archive is complete.
int pack(const char* const* inputs, int count, const char* dest, const char* password,
         ProgressFn fn, void* context, CancelFn cancel = nullptr);
int extract(const char* archive, const char* destDir, const char* password, ProgressFn fn,
            void* context, CancelFn cancel = nullptr);

// What the result code alone cannot tell the user. Set by the last pack or extract on the
// calling thread (cleared when the next one starts); failureSubject() names the file concerned.
enum FailureReason : int {
    NoReason = 0,
    RarEncryptionUnsupported = 1,
    MissingVolume = 2, // subject: the file name of the missing part
    MethodUnsupported = 3,
};
int failureReason();
const char* failureSubject();

// File names in archives that predate UTF-8 are decoded with the code page Windows used for
// this language (an ISO 639 code, optionally with a country, as in "zh_CN"); the program sets
// the user's. Until it is set (or after null), it comes from LC_ALL, LC_CTYPE or LANG.
void setNameLanguage(const char* language);

// The first part of the multi-volume set path belongs to, written to buffer with its NUL;
// path itself when it is no such part. The length, or -1 when buffer is too small.
int archiveFirstVolume(const char* path, char* buffer, int size);

int archiveKind(const char* path);
// The kind's usual suffix without its dot ("tar.gz"); "unknown" for Unknown.
const char* archiveKindName(int kind);
int archiveSupported(const char* path);
int archiveNeedsPassword(const char* path);
int formatCaps(int kind);

const char* version();
void setTempDir(const char* dir);
int randomPassword(char* buffer, int size);

} // namespace cfr
