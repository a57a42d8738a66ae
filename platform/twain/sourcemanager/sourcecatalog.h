// The data sources installed in the data-source folder: every *.ds file below it that loads and answers
// its identity. Loaded libraries stay mapped until the process ends, since a data source may leave
// threads, timers or observers behind that point into its code.
#pragma once

#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "twain.h"

namespace twain::dsm {

struct SourceRecord {
    std::string path;
    DSENTRYPROC entry = nullptr;
    TW_IDENTITY identity{}; // as the data source reported it, Id given by the manager
};

// Ids for applications and data sources alike, so that one can never be taken for the other.
TW_UINT32 newIdentityId();

// K3100_TWAIN_DS_DIR when set, else lib/twain of the prefix this library is installed under
// (/usr/local/lib/twain for /usr/local).
std::filesystem::path dataSourceFolder();

class SourceCatalog {
public:
    // The data sources in the folder now, in path order. New files are loaded and asked for their
    // identity on behalf of `asker`; a file that is no data source is skipped with one log line.
    std::vector<SourceRecord> scan(const TW_IDENTITY& asker);

private:
    bool load(const std::string& path, const TW_IDENTITY& asker);

    // Held while loading and asking identities: a data source keeps the Id of its latest identity
    // query, so two scans must not interleave. Recursive for a data source that scans from its answer.
    std::recursive_mutex mMutex;
    std::map<std::string, SourceRecord> mLoaded;
    std::set<void*> mLibraries;
    std::map<std::string, std::filesystem::file_time_type> mRefused; // so each is logged once
};

} // namespace twain::dsm
