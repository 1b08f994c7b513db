// The one rule by which inputs become top-level entry names, shared by every writer.
#pragma once

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

} // namespace cfr
