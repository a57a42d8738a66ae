// The data sources installed in the data-source folder: every *.ds file below it that loads and answers
// its identity. A data source's library is loaded only while the manager needs it: to ask its identity
// once (then unloaded), and from MSG_OPENDS to MSG_CLOSEDS, as applications and data sources expect of a
// TWAIN manager; a data source must therefore leave nothing of its own behind when it is closed.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "twain.h"

namespace twain::dsm {

struct SourceRecord {
    std::string path;
    TW_IDENTITY identity{}; // as the data source reported it, Id given by the manager
};

// A data source's library while it is loaded; unloads it when destroyed.
class LoadedSource {
public:
    // The library at path with its DS_Entry; none with the reason in why.
    static std::unique_ptr<LoadedSource> load(const std::string& path, std::string& why);
    ~LoadedSource();
    LoadedSource(const LoadedSource&) = delete;
    LoadedSource& operator=(const LoadedSource&) = delete;

    DSENTRYPROC entry() const { return mEntry; }
    // Leaves the library loaded to the end of the process after all (a data source never closed).
    void keepLoaded() { mLibrary = nullptr; }

private:
    LoadedSource(void* library, DSENTRYPROC entry) : mLibrary(library), mEntry(entry) {}

    void* mLibrary;
    DSENTRYPROC mEntry;
};

// Ids for applications and data sources alike, so that one can never be taken for the other.
TW_UINT32 newIdentityId();

// K3100_TWAIN_DS_DIR when set, else lib/twain of the prefix this library is installed under
// (/usr/local/lib/twain for /usr/local).
std::filesystem::path dataSourceFolder();

class SourceCatalog {
public:
    // The data sources in the folder now, in path order, each file once however many names it has.
    // Files not seen before (or changed since) are loaded and asked for their identity on behalf of
    // `asker`; a file that is no data source is skipped with one log line.
    std::vector<SourceRecord> scan(const TW_IDENTITY& asker);

private:
    struct Known {
        std::filesystem::file_time_type modified;
        bool usable = false;
        SourceRecord record;
    };
    // Asks the file at path for its identity; false (logged) when it is no data source.
    bool identify(const std::string& path, const TW_IDENTITY& asker, SourceRecord& record);

    // Held while loading and asking identities: a data source keeps the Id of its latest identity
    // query, so two scans must not interleave. Recursive for a data source that scans from its answer.
    std::recursive_mutex mMutex;
    std::map<std::string, Known> mKnown; // by path: what the file was when last looked at
};

} // namespace twain::dsm
