// Writes an archive with the engine's own writers, for the fuzzing seed corpus:
// seed_writer DEST PASSWORD INPUT... (an empty PASSWORD writes without one).
#include "cfr.h"

int main(int argc, char** argv) {
    if (argc < 4)
        return 2;
    const char* password = argv[2][0] ? argv[2] : nullptr;
    return cfr::pack(argv + 3, argc - 3, argv[1], password, nullptr, nullptr);
}
