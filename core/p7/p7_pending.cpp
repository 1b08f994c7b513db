// PLACEHOLDER until the real backend lands; delete this file then.
#include "p7/p7_ops.h"
namespace cfr {
bool p7Available() { return false; }
int p7Pack(const std::vector<std::string>&, const std::string&, const std::string&, const ProgressSink*) { return Unsupported; }
int p7Extract(const std::string&, const std::string&, const std::string&, const ProgressSink*) { return Unsupported; }
}
