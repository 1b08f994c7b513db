// How many cores this process may run on, for the writers that compress on several threads.
#pragma once

namespace cfr {

// The cores the scheduler lets this process use (a container's or taskset's limit included),
// at least 1.
int usableCores();

} // namespace cfr
