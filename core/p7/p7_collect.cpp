#include "p7/p7_collect.h"

#include "input_walk.h"
#include "p7/p7_text.h"

#include <sys/stat.h>

namespace cfr {
namespace {

class ItemCollector : public InputVisitor {
public:
    explicit ItemCollector(std::vector<UpdateItem>& items) : items_(items) {}

    bool directory(const std::string& name, const std::filesystem::path& path) override {
        struct stat info {};
        ::stat(path.c_str(), &info);
        items_.push_back({utf8ToWide(name), path, true, 0, std::int64_t(info.st_mtime)});
        return true;
    }

    bool file(const std::string& name, const std::filesystem::path& path) override {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0) {
            complete = false;
            return true;
        }
        items_.push_back({utf8ToWide(name), path, false, std::uint64_t(info.st_size),
                          std::int64_t(info.st_mtime)});
        return true;
    }

    bool complete = true;

private:
    std::vector<UpdateItem>& items_;
};

} // namespace

bool p7CollectItems(std::vector<UpdateItem>& items, const std::string& name,
                    const std::string& fsPath, const StagedFile& output) {
    ItemCollector collector(items);
    InputWalker(&output).walk(name, fsPath, collector);
    return collector.complete;
}

} // namespace cfr
