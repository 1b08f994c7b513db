#include "entry_names.h"

#include <filesystem>
#include <set>

namespace cfr {
namespace fs = std::filesystem;

namespace {

std::string lastComponent(const std::string& path) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    const auto slash = trimmed.find_last_of('/');
    const std::string last = slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
    // "." and ".." name the folder they resolve to; as entry names they would climb out.
    if (last == "." || last == "..") {
        std::error_code ec;
        const fs::path resolved = fs::absolute(path, ec).lexically_normal();
        return lastComponent(resolved.string());
    }
    return last;
}

bool isDirectory(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

// Where the number goes: before a file's extension, after a folder's whole name.
std::size_t extensionStart(const std::string& name, bool directory) {
    const auto dot = name.find_last_of('.');
    // A leading dot (".profile") is a hidden name, not an extension.
    if (directory || dot == std::string::npos || dot == 0)
        return name.size();
    return dot;
}

} // namespace

std::vector<NamedInput> nameInputs(const std::vector<std::string>& inputs) {
    std::vector<NamedInput> named;
    std::set<std::string> taken;
    for (const auto& path : inputs) {
        const std::string base = lastComponent(path);
        const auto split = extensionStart(base, isDirectory(path));
        const std::string name =
            freeName(base.substr(0, split), base.substr(split),
                     [&taken](const std::string& candidate) { return taken.count(candidate) > 0; });
        taken.insert(name);
        named.push_back({path, name});
    }
    return named;
}

std::string freeName(const std::string& stem, const std::string& suffix,
                     const std::function<bool(const std::string&)>& taken) {
    std::string candidate = stem + suffix;
    for (int n = 1; taken(candidate); ++n)
        candidate = stem + " (" + std::to_string(n) + ")" + suffix;
    return candidate;
}

} // namespace cfr
