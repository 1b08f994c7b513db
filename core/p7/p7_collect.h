#pragma once

#include "p7/p7_items.h"

#include <vector>

namespace cfr {

// Appends the entries for fsPath, named name, and for everything below it: each folder
// before its contents, symbolic links followed, a link back into its own ancestry not
// (it would recurse without end). Paths that are neither files nor folders are left out, and
// so is the file named by exclude (the archive being written, should it lie among them).
// False when some path could not be found (a missing input, a dangling link); the others are
// still appended.
bool p7CollectItems(std::vector<UpdateItem>& items, const std::wstring& name,
                    const std::string& fsPath, const std::string& exclude = std::string());

} // namespace cfr
