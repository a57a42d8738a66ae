// DAT_IDENTITY of the manager: walking the installed data sources, opening and closing one. An opening or
// closing data source stays reachable while its DS_Entry runs, so it may call back into the manager.
#include <cstring>
#include <memory>
#include <string>

#include "callsource.h"
#include "manager.h"
#include "managerlog.h"
#include "managermemory.h"

namespace twain::dsm {
namespace {

// By Id when the application gives one, else by product name, else the default (the first listed).
const SourceRecord* choose(const std::vector<SourceRecord>& sources, const TW_IDENTITY& wanted) {
    for (const SourceRecord& source : sources)
        if (wanted.Id != 0 && source.identity.Id == wanted.Id)
            return &source;
    if (wanted.ProductName[0] != 0) {
        for (const SourceRecord& source : sources)
            if (std::strncmp(source.identity.ProductName, wanted.ProductName, sizeof(TW_STR32)) == 0)
                return &source;
        return nullptr;
    }
    return wanted.Id == 0 && !sources.empty() ? &sources.front() : nullptr;
}

} // namespace

TW_UINT16 Manager::identity(pTW_IDENTITY origin, TW_UINT16 msg, TW_MEMREF data) {
    if (!data)
        return fail(origin, TWCC_BADVALUE);
    auto& record = *static_cast<TW_IDENTITY*>(data);
    switch (msg) {
    case MSG_GETFIRST:
    case MSG_GETNEXT:
    case MSG_GETDEFAULT:
        return listSources(*origin, msg, record);
    case MSG_OPENDS:
        return openSource(*origin, record);
    case MSG_CLOSEDS:
        return closeSource(*origin, record);
    default: // MSG_USERSELECT among them: there is no chooser to show
        return fail(origin, TWCC_BADPROTOCOL);
    }
}

TW_UINT16 Manager::listSources(const TW_IDENTITY& origin, TW_UINT16 msg, TW_IDENTITY& out) {
    Lock lock(mMutex);
    Application* app = application(&origin);
    if (!app)
        return failLocked(nullptr, TWCC_SEQERROR);
    if (msg == MSG_GETNEXT) {
        if (!app->listed)
            return failLocked(app, TWCC_SEQERROR);
        if (app->next >= app->listing.size())
            return TWRC_ENDOFLIST;
        out = app->listing[app->next++].identity;
        return TWRC_SUCCESS;
    }
    lock.unlock();
    std::vector<SourceRecord> found = mCatalog.scan(origin);
    lock.lock();
    app = application(&origin);
    if (!app)
        return failLocked(nullptr, TWCC_SEQERROR);
    if (msg == MSG_GETDEFAULT) {
        if (found.empty())
            return failLocked(app, TWCC_NODS);
        out = found.front().identity;
        return TWRC_SUCCESS;
    }
    app->listing = std::move(found);
    app->listed = true;
    app->next = 0;
    if (app->listing.empty())
        return TWRC_ENDOFLIST;
    out = app->listing[app->next++].identity;
    return TWRC_SUCCESS;
}

TW_UINT16 Manager::openSource(TW_IDENTITY& origin, TW_IDENTITY& wanted) {
    // Declared before the lock, so that a data source that fails to open is unloaded after it is released.
    std::shared_ptr<LoadedSource> library;
    Lock lock(mMutex);
    Application* app = application(&origin);
    if (!app)
        return failLocked(nullptr, TWCC_SEQERROR);
    std::vector<SourceRecord> candidates = app->listing;
    if (candidates.empty()) {
        lock.unlock();
        candidates = mCatalog.scan(origin);
        lock.lock();
        if (!(app = application(&origin)))
            return failLocked(nullptr, TWCC_SEQERROR);
    }
    const SourceRecord* chosen = choose(candidates, wanted);
    if (!chosen)
        return failLocked(app, TWCC_NODS);
    const SourceRecord source = *chosen;
    const TW_UINT32 id = source.identity.Id;
    if (const auto open = mOpen.find(id); open != mOpen.end())
        return failLocked(app, open->second.appId == origin.Id ? TWCC_SEQERROR : TWCC_MAXCONNECTIONS);
    std::string why;
    library = LoadedSource::load(source.path, why);
    if (!library) {
        logLine("cannot open " + source.path + ": " + why);
        return failLocked(app, TWCC_NODS);
    }
    mOpen.emplace(id, OpenSource{source, library, origin.Id, Link::Opening, {}});
    lock.unlock();

    const DSENTRYPROC entry = library->entry();
    // A freshly loaded data source knows no Id yet: it keeps the one of its latest identity query.
    TW_IDENTITY current = source.identity;
    callSource(entry, &origin, DG_CONTROL, DAT_IDENTITY, MSG_GET, &current);
    if (source.identity.SupportedGroups & DF_DS2) {
        TW_ENTRYPOINT points = entryPoints();
        callSource(entry, &origin, DG_CONTROL, DAT_ENTRYPOINT, MSG_SET, &points);
    }
    wanted = source.identity;
    const TW_UINT16 result = callSource(entry, &origin, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &wanted);
    if (result == TWRC_SUCCESS && wanted.Id != id) {
        // The Id is the manager's: a data source that overwrites it would take another one's calls.
        logLine("refusing " + source.path + ": it changed its Id when opened");
        callSource(entry, &origin, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &wanted);
        wanted.Id = id;
        lock.lock();
        mOpen.erase(id);
        return failLocked(application(&origin), TWCC_OPERATIONERROR);
    }
    if (result == TWRC_SUCCESS) {
        lock.lock();
        mOpen.at(id).link = Link::Open;
        return result;
    }
    // Keep the data source's reason where DAT_STATUS without destination finds it.
    TW_STATUS reason{};
    callSource(entry, &origin, DG_CONTROL, DAT_STATUS, MSG_GET, &reason);
    lock.lock();
    mOpen.erase(id);
    failLocked(application(&origin), reason.ConditionCode ? reason.ConditionCode : TWCC_BUMMER);
    return result;
}

TW_UINT16 Manager::closeSource(TW_IDENTITY& origin, TW_IDENTITY& source) {
    Lock lock(mMutex);
    Application* app = application(&origin);
    if (!app)
        return failLocked(nullptr, TWCC_SEQERROR);
    const TW_UINT32 id = source.Id;
    const auto open = mOpen.find(id);
    if (open == mOpen.end() || open->second.appId != origin.Id || open->second.link != Link::Open)
        return failLocked(app, TWCC_SEQERROR);
    open->second.link = Link::Closing;
    std::shared_ptr<LoadedSource> library = open->second.library;
    lock.unlock();

    const TW_UINT16 result =
        callSource(library->entry(), &origin, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source);
    lock.lock();
    if (result == TWRC_SUCCESS)
        mOpen.erase(id);
    else
        mOpen.at(id).link = Link::Open;
    lock.unlock();
    // The last hold on a closed data source: it is unloaded here, outside the lock, as its unloading may
    // run code of its own that calls the manager.
    library.reset();
    return result;
}

} // namespace twain::dsm
