#include "failure_reason.h"

#include "cfr.h"

namespace cfr {
namespace {

// A job runs on one thread from start to end, and its caller asks on that thread.
struct Failure {
    int reason = NoReason;
    std::string subject;
};
thread_local Failure lastFailure;

} // namespace

void noteFailure(int reason, const std::string& subject) {
    lastFailure.reason = reason;
    lastFailure.subject = subject;
}

void clearFailure() {
    noteFailure(NoReason);
}

int failureReason() {
    return lastFailure.reason;
}

const char* failureSubject() {
    return lastFailure.subject.c_str();
}

} // namespace cfr
