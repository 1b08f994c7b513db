// PLACEHOLDER until the real backend lands; delete this file then.
#include "zip/package.h"
#include "zip/zip_backend.h"
namespace cfr {
int zipPack(const std::vector<std::string>&, const std::string&, const std::string&, const ProgressSink*) { return Unsupported; }
int zipExtract(const std::string&, const std::string&, const std::string&, const ProgressSink*, double, double) { return Unsupported; }
int packagePack(const std::vector<std::string>&, const std::string&, const std::string&, const ProgressSink*) { return Unsupported; }
int packageExtract(const std::string&, const std::string&, const std::string&, const ProgressSink*) { return Unsupported; }
std::string lowerExtension(const std::string&) { return {}; }
}
