#pragma once

#include "p7/p7_items.h"
#include "staged_file.h"

#include <vector>

namespace cfr {

// Appends the entries for fsPath, named name, and for everything below it: each folder
// before its contents, symbolic links followed, a link back into its own ancestry not
// (it would recurse without end). Paths that are neither files nor folders are left out, and
// so are the archive being written and the one it replaces, should they lie among them.
// False when some path could not be found (a missing input, a dangling link); the others are
// still appended.
bool p7CollectItems(std::vector<UpdateItem>& items, const std::wstring& name,
                    const std::string& fsPath, const StagedFile* output = nullptr);

} // namespace cfr
