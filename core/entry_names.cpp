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

std::string numbered(const std::string& name, int n, bool directory) {
    const std::string mark = " (" + std::to_string(n) + ")";
    const auto dot = name.find_last_of('.');
    // A leading dot (".profile") is a hidden name, not an extension.
    if (directory || dot == std::string::npos || dot == 0)
        return name + mark;
    return name.substr(0, dot) + mark + name.substr(dot);
}

} // namespace

std::vector<NamedInput> nameInputs(const std::vector<std::string>& inputs) {
    std::vector<NamedInput> named;
    std::set<std::string> taken;
    for (const auto& path : inputs) {
        const std::string base = lastComponent(path);
        std::string name = base;
        for (int n = 1; taken.count(name); ++n)
            name = numbered(base, n, isDirectory(path));
        taken.insert(name);
        named.push_back({path, name});
    }
    return named;
}

} // namespace cfr
