// Every archive is written beside its destination under a temporary name and takes the
// destination's place only once it is complete, so a failed, cancelled or killed pack never
// touches the file it was to replace.
#pragma once

#include "progress_sink.h"

#include <sys/stat.h>

#include <string>

namespace cfr {

class StagedFile {
public:
    explicit StagedFile(const std::string& destination);
    // Removes the temporary unless it was committed.
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Creates the temporary, empty and readable by its owner alone. Its name, such as
    // ".report.zip.3fa91c02.part", is hidden and ends in no archive suffix: what a killed
    // process leaves behind is neither listed nor taken for an archive.
    bool create();
    const std::string& path() const { return path_; }
    // Open for writing from create() until the commit; a writer that takes the path instead
    // may replace the file, which the commit allows for.
    int fd() const { return fd_; }
    // The temporary and the file it replaces: neither may be packed into the archive.
    bool isOutput(const struct stat& info) const;
    // Flushes the temporary to the disk, gives it the permissions the destination has (or a
    // new file would get) and renames it over the destination.
    bool commit();

private:
    std::string destination_;
    std::string path_;
    int fd_ = -1;
    bool committed_ = false;
    bool replacesFile_ = false;
    struct stat destinationInfo_ {};
    struct stat temporaryInfo_ {};
};

// How every writer ends: the commit's outcome, or Cancelled when the job was stopped while
// its last step ran (a library call that never polls for it).
int commitStaged(StagedFile& staged, const ProgressSink* sink);

} // namespace cfr
