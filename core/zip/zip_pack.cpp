#include "zip/zip_backend.h"
#include "zip/zip_writer.h"

namespace cfr {

int zipPack(const std::vector<std::string>& inputs, const std::string& dest,
            const std::string& password, const ProgressSink* sink) {
    StagedFile output(dest);
    if (!output.create())
        return OpenFailed;
    ZipHandle archive = createZip(output.path());
    if (!archive)
        return OpenFailed;
    const bool encrypt = !password.empty();
    if (encrypt && zip_set_default_password(archive.get(), password.c_str()) != 0)
        return Failed;
    const int added = zipAddInputs(archive.get(), inputs, encrypt, sink, output);
    if (added != Ok)
        return added;
    const int closed = closeZip(std::move(archive), sink, 0, 1);
    return closed == Ok ? commitStaged(output, sink) : closed;
}

} // namespace cfr
