#include "p7/p7_collect.h"

#include "p7/p7_text.h"

#include <dirent.h>
#include <memory>
#include <set>
#include <sys/stat.h>
#include <utility>

namespace cfr {
namespace {

using FileId = std::pair<dev_t, ino_t>;

FileId idOf(const struct stat& info) {
    return {info.st_dev, info.st_ino};
}

struct Walk {
    std::vector<UpdateItem>& items;
    const StagedFile* output;
    std::set<FileId> ancestry; // the folders being walked, by identity
    bool complete = true;

    void collect(const std::wstring& name, const std::string& fsPath) {
        struct stat info {};
        if (::stat(fsPath.c_str(), &info) != 0) {
            complete = false;
            return;
        }
        if (S_ISREG(info.st_mode)) {
            if (output && output->isOutput(info))
                return;
            items.push_back({name, fsPath, false, static_cast<std::uint64_t>(info.st_size),
                             static_cast<std::int64_t>(info.st_mtime)});
        } else if (S_ISDIR(info.st_mode)) {
            const FileId id = idOf(info);
            if (!ancestry.insert(id).second)
                return;
            items.push_back({name, fsPath, true, 0, static_cast<std::int64_t>(info.st_mtime)});
            collectChildren(name, fsPath);
            ancestry.erase(id);
        }
    }

    void collectChildren(const std::wstring& name, const std::string& fsPath) {
        const std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir(fsPath.c_str()), ::closedir);
        if (!folder)
            return;
        const std::string prefix = fsPath.empty() || fsPath.back() == '/' ? fsPath : fsPath + '/';
        while (const dirent* entry = ::readdir(folder.get())) {
            const std::string child = entry->d_name;
            if (child == "." || child == "..")
                continue;
            collect(name + L'/' + utf8ToWide(child), prefix + child);
        }
    }
};

} // namespace

bool p7CollectItems(std::vector<UpdateItem>& items, const std::wstring& name,
                    const std::string& fsPath, const StagedFile* output) {
    Walk walk{items, output, {}};
    walk.collect(name, fsPath);
    return walk.complete;
}

} // namespace cfr
