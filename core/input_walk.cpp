#include "input_walk.h"

#include "staged_file.h"

#include <sys/stat.h>

#include <algorithm>

namespace cfr {
namespace fs = std::filesystem;

bool InputWalker::walk(const std::string& name, const fs::path& path, InputVisitor& visitor) {
    std::error_code ec;
    return walkTyped(name, path, fs::status(path, ec).type(), visitor);
}

bool InputWalker::walkChild(const std::string& name, const fs::directory_entry& child,
                            InputVisitor& visitor) {
    // The listing already knows most types; only links and unknown types cost a stat.
    std::error_code ec;
    if (child.is_directory(ec))
        return walkTyped(name, child.path(), fs::file_type::directory, visitor);
    if (child.is_regular_file(ec))
        return walkTyped(name, child.path(), fs::file_type::regular, visitor);
    return walk(name, child.path(), visitor);
}

bool InputWalker::walkTyped(const std::string& name, const fs::path& path, fs::file_type type,
                            InputVisitor& visitor) {
    switch (type) {
    case fs::file_type::directory:
        return walkDirectory(name, path, visitor);
    case fs::file_type::regular:
        return isOutput(path) || visitor.file(name, path);
    case fs::file_type::not_found: // a dangling link: the visitor decides what that means
    case fs::file_type::none:
    case fs::file_type::unknown:
        return visitor.file(name, path);
    default:
        return true;
    }
}

bool InputWalker::walkDirectory(const std::string& name, const fs::path& path,
                                InputVisitor& visitor) {
    if (!visitor.directory(name, path))
        return false;
    struct stat info;
    if (::stat(path.c_str(), &info) != 0)
        return true;
    const std::pair<dev_t, ino_t> identity{info.st_dev, info.st_ino};
    if (std::find(openFolders_.begin(), openFolders_.end(), identity) != openFolders_.end())
        return true;
    openFolders_.push_back(identity);
    bool ok = true;
    std::error_code ec;
    for (fs::directory_iterator it(path, ec), end; ok && !ec && it != end; it.increment(ec))
        ok = walkChild(name + "/" + it->path().filename().string(), *it, visitor);
    openFolders_.pop_back();
    return ok;
}

bool InputWalker::isOutput(const fs::path& path) const {
    struct stat info {};
    return output_ && ::stat(path.c_str(), &info) == 0 && output_->isOutput(info);
}

} // namespace cfr
