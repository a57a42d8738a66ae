// Dispatch of DSM_Entry: the manager's own triplets (DAT_PARENT, DAT_IDENTITY, DAT_CALLBACK and DAT_STATUS
// without destination) are answered here; every other triplet goes to the destination data source, which
// the calling application must have open.
#include "manager.h"
#include "callsource.h"

#include <cstring>
#include <new>

#include "managerlog.h"
#include "managermemory.h"

namespace twain::dsm {

TW_UINT16 callSource(DSENTRYPROC entry, pTW_IDENTITY origin, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                     TW_MEMREF data) noexcept {
    try {
        return entry(origin, dg, dat, msg, data);
    } catch (...) {
        logLine("a data source threw an exception out of DS_Entry");
        return TWRC_FAILURE;
    }
}

Manager& Manager::instance() {
    static Manager manager;
    return manager;
}

Manager::~Manager() {
    // A data source its application never closed may still be running code as the process ends: it is
    // not unloaded under it.
    for (auto& [id, open] : mOpen)
        if (open.library)
            open.library->keepLoaded();
}

TW_UINT16 Manager::entry(pTW_IDENTITY origin, pTW_IDENTITY dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                         TW_MEMREF data) noexcept {
    try {
        if (!origin)
            return fail(nullptr, TWCC_BADPROTOCOL);
        return dispatch(origin, dest, dg, dat, msg, data);
    } catch (const std::bad_alloc&) {
        return fail(origin, TWCC_LOWMEMORY);
    } catch (...) {
        return fail(origin, TWCC_BUMMER);
    }
}

TW_UINT16 Manager::dispatch(pTW_IDENTITY origin, pTW_IDENTITY dest, TW_UINT32 dg, TW_UINT16 dat,
                            TW_UINT16 msg, TW_MEMREF data) {
    if (dg == DG_CONTROL) {
        switch (dat) {
        case DAT_PARENT:
            return parent(origin, msg);
        case DAT_IDENTITY:
            if (msg != MSG_GET) // MSG_GET asks a data source for its identity
                return identity(origin, msg, data);
            break;
        case DAT_CALLBACK:
            return callback(origin, dest, msg, data);
        case DAT_NULL:
            return deliver(*origin, dest, msg);
        case DAT_ENTRYPOINT:
            return entryPoint(origin, msg, data);
        case DAT_STATUS:
            if (!dest)
                return status(origin, data);
            break;
        }
    }
    return forward(origin, dest, dg, dat, msg, data);
}

TW_UINT16 Manager::parent(pTW_IDENTITY origin, TW_UINT16 msg) {
    switch (msg) {
    case MSG_OPENDSM:
        return openManager(*origin);
    case MSG_CLOSEDSM:
        return closeManager(*origin);
    default:
        return fail(origin, TWCC_BADPROTOCOL);
    }
}

TW_UINT16 Manager::openManager(TW_IDENTITY& origin) {
    Lock lock(mMutex);
    if (Application* app = application(&origin)) {
        const bool same = std::memcmp(app->identity.ProductName, origin.ProductName, sizeof(TW_STR32)) == 0 &&
                          std::memcmp(app->identity.Manufacturer, origin.Manufacturer, sizeof(TW_STR32)) == 0;
        if (same)
            return failLocked(app, TWCC_SEQERROR);
        // Otherwise a stale or made-up Id: this is a new application.
    }
    // A TWAIN 2 application learns from this flag that the manager sends it callbacks and owns memory.
    if (origin.SupportedGroups & DF_APP2)
        origin.SupportedGroups |= DF_DSM2;
    Application app;
    app.identity = origin;
    app.identity.Id = newIdentityId();
    origin.Id = app.identity.Id;
    mApplications.emplace(origin.Id, std::move(app));
    return TWRC_SUCCESS;
}

TW_UINT16 Manager::closeManager(const TW_IDENTITY& origin) {
    Lock lock(mMutex);
    Application* app = application(&origin);
    if (!app)
        return failLocked(nullptr, TWCC_SEQERROR);
    for (const auto& [id, open] : mOpen)
        if (open.appId == origin.Id)
            return failLocked(app, TWCC_SEQERROR); // its data sources must be closed first
    mApplications.erase(TW_UINT32{origin.Id});
    return TWRC_SUCCESS;
}

TW_UINT16 Manager::entryPoint(pTW_IDENTITY origin, TW_UINT16 msg, TW_MEMREF data) {
    if (msg != MSG_GET)
        return fail(origin, TWCC_BADPROTOCOL);
    if (!data)
        return fail(origin, TWCC_BADVALUE);
    {
        Lock lock(mMutex);
        if (!application(origin))
            return failLocked(nullptr, TWCC_SEQERROR);
    }
    auto* record = static_cast<TW_ENTRYPOINT*>(data);
    *record = entryPoints();
    return TWRC_SUCCESS;
}

TW_UINT16 Manager::status(pTW_IDENTITY origin, TW_MEMREF data) {
    if (!data)
        return fail(origin, TWCC_BADVALUE);
    Lock lock(mMutex);
    Application* app = application(origin);
    TW_UINT16& condition = app ? app->condition : mCondition;
    auto* record = static_cast<TW_STATUS*>(data);
    record->ConditionCode = condition;
    record->Reserved = 0;
    condition = TWCC_SUCCESS;
    return TWRC_SUCCESS;
}

TW_UINT16 Manager::forward(pTW_IDENTITY origin, pTW_IDENTITY dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                           TW_MEMREF data) {
    Lock lock(mMutex);
    Application* app = application(origin);
    if (!app)
        return failLocked(nullptr, TWCC_SEQERROR);
    const auto open = dest ? mOpen.find(TW_UINT32{dest->Id}) : mOpen.end();
    if (open == mOpen.end() || open->second.appId != origin->Id)
        return failLocked(app, TWCC_BADDEST);
    // Kept loaded through the call, even if a nested call closes the data source meanwhile.
    const std::shared_ptr<LoadedSource> library = open->second.library;
    lock.unlock();
    return callSource(library->entry(), origin, dg, dat, msg, data);
}

Manager::Application* Manager::application(const TW_IDENTITY* origin) {
    if (!origin)
        return nullptr;
    const auto found = mApplications.find(TW_UINT32{origin->Id});
    return found == mApplications.end() ? nullptr : &found->second;
}

TW_UINT16 Manager::failLocked(Application* app, TW_UINT16 condition) {
    (app ? app->condition : mCondition) = condition;
    return TWRC_FAILURE;
}

TW_UINT16 Manager::fail(const TW_IDENTITY* origin, TW_UINT16 condition) {
    try {
        Lock lock(mMutex);
        return failLocked(application(origin), condition);
    } catch (...) {
        return TWRC_FAILURE;
    }
}

} // namespace twain::dsm

extern "C" TW_UINT16 DSM_Entry(pTW_IDENTITY pOrigin, pTW_IDENTITY pDest, TW_UINT32 DG, TW_UINT16 DAT,
                               TW_UINT16 MSG, TW_MEMREF pData) {
    try {
        return twain::dsm::Manager::instance().entry(pOrigin, pDest, DG, DAT, MSG, pData);
    } catch (...) { // only the manager's first construction can throw
        return TWRC_FAILURE;
    }
}
