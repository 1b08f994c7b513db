// The one rule by which inputs become top-level entry names, shared by every writer.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace cfr {

struct NamedInput {
    std::string path; // as given
    std::string name; // top-level entry name, unique among the job's inputs
};

// Each input is named by its last non-empty path component. A later input whose name is
// already taken gets " (1)", " (2)", … before its extension (a folder: at the end), so two
// inputs of the same name from different folders both reach the archive.
std::vector<NamedInput> nameInputs(const std::vector<std::string>& inputs);

// stem + suffix, or when taken says so the first of "stem (1)suffix", "stem (2)suffix", …
// that is not. Every "name (1)" in the program, on disk or in an archive, comes from here.
std::string freeName(const std::string& stem, const std::string& suffix,
                     const std::function<bool(const std::string&)>& taken);

} // namespace cfr
