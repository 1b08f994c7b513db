#pragma once

#include "p7/p7_items.h"
#include "staged_file.h"

#include <string>
#include <vector>

namespace cfr {

// Appends the entries for fsPath, named name, and for everything below it, as every writer
// walks its inputs: each folder before its contents.
// False when some path could not be found (a missing input, a dangling link); the others are
// still appended.
bool p7CollectItems(std::vector<UpdateItem>& items, const std::string& name,
                    const std::string& fsPath, const StagedFile& output);

} // namespace cfr
