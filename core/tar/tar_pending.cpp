// PLACEHOLDER until the real backend lands; delete this file then.
#include "tar/tar_backend.h"
#include "kinds.h"
#include "utf8_locale.h"
namespace cfr {
int tarExtract(const std::string&, const std::string&, const std::string&, const ProgressSink*) { return Unsupported; }
int tarPack(const std::vector<std::string>&, const std::string&, int, const ProgressSink*) { return Unsupported; }
int kindOfFileName(const std::string&) { return Unknown; }
bool libarchiveReadable(const std::string&) { return false; }
bool libarchiveEncrypted(const std::string&) { return false; }
bool zipReadable(const std::string&) { return false; }
bool zipEncrypted(const std::string&) { return false; }
bool writeFilterAvailable(int) { return false; }
void ensureUtf8Locale() {}
int archiveKind(const char*) { return Unknown; }
int archiveSupported(const char*) { return 0; }
int archiveNeedsPassword(const char*) { return 0; }
int formatCaps(int) { return 0; }
}
