// The reason behind a failure, kept per thread for the caller of the job running there.
#pragma once

#include <string>

namespace cfr {

void noteFailure(int reason, const std::string& subject = std::string());
void clearFailure();

} // namespace cfr
