#include "zip/zip_backend.h"
#include "zip/zip_writer.h"

namespace cfr {

int zipPack(const std::vector<std::string>& inputs, const std::string& dest,
            const std::string& password, const ProgressSink* sink) {
    ZipHandle archive = createZip(dest);
    if (!archive)
        return OpenFailed;
    const bool encrypt = !password.empty();
    if (encrypt && zip_set_default_password(archive.get(), password.c_str()) != 0)
        return Failed;
    const int added = zipAddInputs(archive.get(), inputs, encrypt, sink, dest);
    if (added != Ok)
        return added;
    return closeZip(std::move(archive), sink, 0, 1);
}

} // namespace cfr
