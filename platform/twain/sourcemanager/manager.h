// The source manager's sessions: the applications that opened it, the data sources each has open and
// their callbacks. Every call out (to a data source or a callback) is made without the lock held, so a
// data source may call back into the manager and the application may call the data source again inside.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "sourcecatalog.h"

namespace twain::dsm {

class Manager {
public:
    // The process's manager, destroyed when the library is unloaded (an application may unload it, and
    // the data sources it loaded are gone by then: they are unloaded at their close).
    static Manager& instance();
    Manager() = default;
    ~Manager();
    Manager(const Manager&) = delete;
    Manager& operator=(const Manager&) = delete;

    // DSM_Entry; never throws.
    TW_UINT16 entry(pTW_IDENTITY origin, pTW_IDENTITY dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                    TW_MEMREF data) noexcept;

private:
    struct Callback {
        TWAINCALLBACKPROC proc = nullptr;
        TW_UINT32 refCon = 0;
    };
    struct Application {
        TW_IDENTITY identity{};
        std::vector<SourceRecord> listing; // of the latest MSG_GETFIRST
        std::size_t next = 0;
        bool listed = false;
        TW_UINT16 condition = TWCC_SUCCESS;
        Callback callback; // for every data source it opens
    };
    enum class Link { Opening, Open, Closing };
    struct OpenSource {
        SourceRecord source;
        std::shared_ptr<LoadedSource> library; // loaded from MSG_OPENDS to MSG_CLOSEDS
        TW_UINT32 appId = 0;
        Link link = Link::Opening;
        Callback callback; // registered for this data source alone
    };
    using Lock = std::unique_lock<std::mutex>;

    TW_UINT16 parent(pTW_IDENTITY origin, TW_UINT16 msg);
    TW_UINT16 openManager(TW_IDENTITY& origin);
    TW_UINT16 closeManager(const TW_IDENTITY& origin);
    TW_UINT16 identity(pTW_IDENTITY origin, TW_UINT16 msg, TW_MEMREF data);
    TW_UINT16 listSources(const TW_IDENTITY& origin, TW_UINT16 msg, TW_IDENTITY& out);
    TW_UINT16 openSource(TW_IDENTITY& origin, TW_IDENTITY& wanted);
    TW_UINT16 closeSource(TW_IDENTITY& origin, TW_IDENTITY& source);
    TW_UINT16 callback(pTW_IDENTITY origin, pTW_IDENTITY dest, TW_UINT16 msg, TW_MEMREF data);
    TW_UINT16 registerCallback(const TW_IDENTITY& origin, pTW_IDENTITY dest, const TW_CALLBACK& record);
    // DAT_NULL from a data source: its message to the application that opened it (dest).
    TW_UINT16 deliver(const TW_IDENTITY& source, pTW_IDENTITY dest, TW_UINT16 msg);
    TW_UINT16 entryPoint(pTW_IDENTITY origin, TW_UINT16 msg, TW_MEMREF data);
    TW_UINT16 status(pTW_IDENTITY origin, TW_MEMREF data);
    TW_UINT16 forward(pTW_IDENTITY origin, pTW_IDENTITY dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                      TW_MEMREF data);

    TW_UINT16 dispatch(pTW_IDENTITY origin, pTW_IDENTITY dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                       TW_MEMREF data);
    // The open application that sent `origin`, or nullptr; needs the lock.
    Application* application(const TW_IDENTITY* origin);
    // Keeps a condition code for DAT_STATUS: the application's own, or the manager's for callers that are
    // no open application (data sources). failLocked needs the lock, fail takes it.
    TW_UINT16 failLocked(Application* app, TW_UINT16 condition);
    TW_UINT16 fail(const TW_IDENTITY* origin, TW_UINT16 condition);

    std::mutex mMutex;
    std::map<TW_UINT32, Application> mApplications;
    // Keys are looked up by value (TW_UINT32{x.Id}): in the packed record Id may sit on a 2-byte
    // boundary, where no reference may bind to it.
    std::map<TW_UINT32, OpenSource> mOpen; // by data-source Id
    TW_UINT16 mCondition = TWCC_SUCCESS;
    SourceCatalog mCatalog;
};

} // namespace twain::dsm
