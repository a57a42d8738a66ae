// DAT_CALLBACK: an application registers where the messages of its data sources go; DAT_NULL: a data source
// sends one to the application that opened it. The callback runs on the data source's thread, without the
// manager's lock. The other platform's MSG_INVOKE_CALLBACK is refused, as a standard manager on Linux does.
#include <cstdint>
#include <cstring>

#include "manager.h"
#include "managerlog.h"

namespace twain::dsm {
namespace {

bool isCallbackMessage(TW_INT16 message) {
    switch (static_cast<TW_UINT16>(message)) {
    case MSG_XFERREADY:
    case MSG_CLOSEDSREQ:
    case MSG_CLOSEDSOK:
    case MSG_DEVICEEVENT:
        return true;
    default:
        return false;
    }
}

} // namespace

TW_UINT16 Manager::callback(pTW_IDENTITY origin, pTW_IDENTITY dest, TW_UINT16 msg, TW_MEMREF data) {
    if (!data)
        return fail(origin, TWCC_BADVALUE);
    TW_CALLBACK record;
    std::memcpy(&record, data, sizeof record);
    switch (msg) {
    case MSG_REGISTER_CALLBACK:
        return registerCallback(*origin, dest, record);
    default:
        return fail(origin, TWCC_BADPROTOCOL);
    }
}

// Without destination the callback serves every data source the application opens; with one, that data
// source alone. A null procedure removes the registration.
TW_UINT16 Manager::registerCallback(const TW_IDENTITY& origin, pTW_IDENTITY dest, const TW_CALLBACK& record) {
    Lock lock(mMutex);
    Application* app = application(&origin);
    if (!app)
        return failLocked(nullptr, TWCC_SEQERROR);
    const Callback callback{reinterpret_cast<TWAINCALLBACKPROC>(record.CallBackProc), record.RefCon};
    if (!dest) {
        app->callback = callback;
        return TWRC_SUCCESS;
    }
    const auto open = mOpen.find(TW_UINT32{dest->Id});
    if (open == mOpen.end() || open->second.appId != origin.Id)
        return failLocked(app, TWCC_BADDEST);
    open->second.callback = callback;
    return TWRC_SUCCESS;
}

TW_UINT16 Manager::deliver(const TW_IDENTITY& source, pTW_IDENTITY dest, TW_UINT16 msg) {
    Lock lock(mMutex);
    const auto open = mOpen.find(TW_UINT32{source.Id});
    if (open == mOpen.end())
        return failLocked(nullptr, TWCC_BADPROTOCOL); // only an open data source sends DAT_NULL
    // The message names its receiver; a data source cannot leave it to the manager to guess.
    if (!dest || dest->Id != open->second.appId)
        return failLocked(nullptr, TWCC_BADDEST);
    if (!isCallbackMessage(static_cast<TW_INT16>(msg)))
        return failLocked(nullptr, TWCC_BADVALUE);
    const Application& app = mApplications.at(open->second.appId);
    const Callback callback = open->second.callback.proc ? open->second.callback : app.callback;
    if (!callback.proc)
        return failLocked(nullptr, TWCC_SEQERROR);
    TW_IDENTITY from = open->second.source.identity;
    TW_IDENTITY to = app.identity;
    lock.unlock();

    try {
        return callback.proc(&from, &to, DG_CONTROL, DAT_NULL, msg,
                             reinterpret_cast<TW_MEMREF>(static_cast<std::uintptr_t>(callback.refCon)));
    } catch (...) {
        logLine("an application's callback threw an exception");
        return TWRC_FAILURE;
    }
}

} // namespace twain::dsm
