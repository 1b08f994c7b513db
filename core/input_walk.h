// How an input becomes entries: every writer, and the size pass before it, walks its inputs
// through this one walker, so they all store the same files and leave out the same ones.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace cfr {

class StagedFile;

class InputVisitor {
public:
    virtual ~InputVisitor() = default;
    // A false answer stops the walk.
    virtual bool directory(const std::string& name, const std::filesystem::path& path) = 0;
    virtual bool file(const std::string& name, const std::filesystem::path& path) = 0;
};

// Walks one input under its entry name. Links are followed: a link to a file counts as a
// file, a link to a folder is descended, except into a folder that is already being walked
// (a link loop), which is kept as an empty folder. Sockets, pipes and devices are left out:
// only files and folders can be stored. A folder that cannot be listed counts as empty. A path
// that cannot be found (a dangling link) reaches the visitor as a file, for it to judge.
// The archive being written, and the one it replaces, are never visited: packing a folder
// into itself must not store the archive inside its own contents.
class InputWalker {
public:
    explicit InputWalker(const StagedFile* output = nullptr) : output_(output) {}
    bool walk(const std::string& name, const std::filesystem::path& path, InputVisitor& visitor);

private:
    bool walkChild(const std::string& name, const std::filesystem::directory_entry& child,
                   InputVisitor& visitor);
    bool walkTyped(const std::string& name, const std::filesystem::path& path,
                   std::filesystem::file_type type, InputVisitor& visitor);
    bool walkDirectory(const std::string& name, const std::filesystem::path& path,
                       InputVisitor& visitor);
    bool isOutput(const std::filesystem::path& path) const;

    const StagedFile* output_;
    std::vector<std::pair<dev_t, ino_t>> openFolders_;
};

} // namespace cfr
