// Each call goes through DSM_Entry; the callback only records what the source announced, and the scan
// loop reacts to it, so no TWAIN call is made from inside a callback except the device-event read.
#include "TwainSession.h"

#include <chrono>
#include <cstring>

#include "QSConditionCodes.h"
#include "managerlibrary.h"

namespace twainscan {
namespace {

CTwainSession* sSession = nullptr; // the one session that the callback reports to

void SetText(TW_STR32& field, const char* text) {
    std::memset(field, 0, sizeof field);
    std::strncpy(field, text, sizeof field - 1);
}

// The manager stays loaded to the end of the process, as most applications keep theirs.
DSMENTRYPROC LoadManager() {
    std::string error;
    if (DSMENTRYPROC entry = twain::loadManagerEntry(K3100_DSM_LIBRARY, K3100_INSTALL_LIBDIR, error))
        return entry;
    throw ScanError("cannot load the TWAIN source manager: " + error);
}

TW_UINT32 ItemBits(const SCapSetting& setting) {
    TW_UINT32 item = 0;
    if (setting.itemType == TWTY_FIX32) {
        const auto whole = static_cast<std::int32_t>(setting.value * 65536.0 + 0.5);
        TW_FIX32 fix{static_cast<TW_INT16>(whole >> 16), static_cast<TW_UINT16>(whole & 0xFFFF)};
        std::memcpy(&item, &fix, sizeof fix);
    } else if (setting.itemType == TWTY_INT16) {
        const auto v = static_cast<TW_INT16>(setting.value);
        std::memcpy(&item, &v, sizeof v);
    } else if (setting.itemType == TWTY_UINT16 || setting.itemType == TWTY_BOOL) {
        const auto v = static_cast<TW_UINT16>(setting.value);
        std::memcpy(&item, &v, sizeof v);
    } else {
        const auto v = static_cast<TW_INT32>(setting.value);
        std::memcpy(&item, &v, sizeof v);
    }
    return item;
}

} // namespace

std::string IdentityText(const char* field, std::size_t size) {
    const auto length = static_cast<unsigned char>(field[0]);
    // Older sources write a length byte first; on Linux texts are zero-terminated.
    if (length > 0 && length < size - 1 && length < 32 && std::strlen(field + 1) == length)
        return std::string(field + 1, length);
    return std::string(field, strnlen(field, size));
}

CTwainSession::CTwainSession() : mManager(LoadManager()) {
    mApp.Version.MajorNum = 1;
    mApp.Version.Language = TWLG_USA;
    mApp.Version.Country = TWCY_USA;
    mApp.ProtocolMajor = 2;
    mApp.ProtocolMinor = 1;
    mApp.SupportedGroups = DG_CONTROL | DG_IMAGE | DF_APP2;
    SetText(mApp.Manufacturer, "K3100 Project");
    SetText(mApp.ProductFamily, "Tools");
    SetText(mApp.ProductName, "twainscan");
    TW_MEMREF parent = nullptr;
    Check(Call(DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &parent, false), "opening the source manager");
    mManagerOpen = true;
    sSession = this;
    // A manager without memory functions leaves containers to the C heap.
    mEntryPoints.Size = sizeof mEntryPoints;
    if (Call(DG_CONTROL, DAT_ENTRYPOINT, MSG_GET, &mEntryPoints, false) != TWRC_SUCCESS)
        mEntryPoints = TW_ENTRYPOINT{};
}

CTwainSession::~CTwainSession() {
    try {
        Close();
    } catch (...) {
        // Closing is best effort here; the error that brought us here is already on its way.
    }
    if (mManagerOpen) {
        TW_MEMREF parent = nullptr;
        Call(DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &parent, false);
    }
    sSession = nullptr;
}

TW_UINT16 CTwainSession::Call(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data, bool toSource) {
    return mManager(&mApp, toSource ? &mSource : nullptr, dg, dat, msg, data);
}

CTwainSession::Container CTwainSession::NewContainer(std::size_t bytes) {
    return Own(mEntryPoints.DSM_MemAllocate ? mEntryPoints.DSM_MemAllocate(static_cast<TW_UINT32>(bytes))
                                            : std::calloc(1, bytes));
}

CTwainSession::Container CTwainSession::Own(void* block) const {
    const TW_ENTRYPOINT points = mEntryPoints;
    if (!points.DSM_MemFree)
        return Container(block, [](void* memory) { std::free(memory); });
    return Container(block, [points](void* memory) { points.DSM_MemFree(memory); });
}

void* CTwainSession::Lock(void* handle) const {
    return handle && mEntryPoints.DSM_MemLock ? mEntryPoints.DSM_MemLock(handle) : handle;
}

void CTwainSession::Unlock(void* handle) const {
    if (handle && mEntryPoints.DSM_MemUnlock)
        mEntryPoints.DSM_MemUnlock(handle);
}

CTwainSession::Container CTwainSession::OneValue(const SCapSetting& setting) {
    Container handle = NewContainer(sizeof(TW_ONEVALUE));
    auto* one = static_cast<TW_ONEVALUE*>(Lock(handle.get()));
    if (!one)
        throw ScanError("out of memory");
    one->ItemType = setting.itemType;
    const TW_UINT32 item = ItemBits(setting);
    std::memcpy(&one->Item, &item, sizeof item);
    Unlock(handle.get());
    return handle;
}

void CTwainSession::Check(TW_UINT16 rc, const char* what, std::initializer_list<TW_UINT16> accepted) {
    for (TW_UINT16 ok : accepted)
        if (rc == ok)
            return;
    throw ScanError(std::string(what) + " failed (return code " + std::to_string(rc) + ", condition code " +
                    std::to_string(ConditionCode()) + ")");
}

TW_STATUS CTwainSession::Status() {
    TW_STATUS status{};
    mManager(&mApp, mSourceOpen ? &mSource : nullptr, DG_CONTROL, DAT_STATUS, MSG_GET, &status);
    return status;
}

std::string CTwainSession::StatusText(const TW_STATUS& status) {
    TW_STATUSUTF8 record{};
    record.Status = status;
    if (!mSourceOpen || Call(DG_CONTROL, DAT_STATUSUTF8, MSG_GET, &record) != TWRC_SUCCESS)
        return {};
    const Container text = Own(record.UTF8string);
    const auto* bytes = static_cast<const char*>(Lock(text.get()));
    std::string result = bytes ? std::string(bytes, strnlen(bytes, record.Size)) : std::string();
    Unlock(text.get());
    return result;
}

void CTwainSession::NoteBatchFault() {
    // A cancel and a jam return the same code; only the condition code tells them apart. The text is
    // asked for at once, while the source is open.
    if (const TW_STATUS status = Status(); status.ConditionCode != TWCC_SUCCESS) {
        mBatchFault = status.ConditionCode;
        mBatchFaultText = StatusText(status);
    }
}

std::vector<std::string> CTwainSession::ListSources() {
    std::vector<std::string> names;
    TW_IDENTITY source{};
    TW_UINT16 rc = Call(DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST, &source, false);
    while (rc == TWRC_SUCCESS) {
        names.push_back(IdentityText(source.ProductName, sizeof source.ProductName));
        source = TW_IDENTITY{};
        rc = Call(DG_CONTROL, DAT_IDENTITY, MSG_GETNEXT, &source, false);
    }
    Check(rc, "listing the data sources", {TWRC_ENDOFLIST});
    return names;
}

void CTwainSession::OpenSource(const std::string& text) {
    TW_IDENTITY source{};
    TW_UINT16 rc = Call(DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST, &source, false);
    while (rc == TWRC_SUCCESS &&
           IdentityText(source.ProductName, sizeof source.ProductName).find(text) == std::string::npos) {
        source = TW_IDENTITY{};
        rc = Call(DG_CONTROL, DAT_IDENTITY, MSG_GETNEXT, &source, false);
    }
    if (rc != TWRC_SUCCESS)
        throw ScanError("no data source named like '" + text + "' was found");
    mSource = source;
    if (Call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &mSource, false) != TWRC_SUCCESS) {
        const TW_UINT16 condition = ConditionCode();
        // The source was listed, so it loaded and answered: "no data source" now means it found no scanner.
        if (condition == TWCC_NODS)
            throw ScanError("the scanner is not connected or not turned on");
        if (condition == TWCC_MAXCONNECTIONS)
            throw ScanError("the scanner is in use by another program, or its lock is blocked");
        if (condition == TWCC_DENIED)
            throw ScanError("the data source could not open a file it needs, such as its scanner lock");
        throw ScanError("opening the data source failed (condition code " + std::to_string(condition) + ")");
    }
    mSourceOpen = true;
    TW_CALLBACK callback{};
    callback.CallBackProc = reinterpret_cast<TW_MEMREF>(&CTwainSession::Callback);
    Check(Call(DG_CONTROL, DAT_CALLBACK, MSG_REGISTER_CALLBACK, &callback), "registering the callback");
    if (!mDeviceEvents.empty())
        SelectDeviceEvents();
}

void CTwainSession::ResetCapabilities() {
    TW_CAPABILITY all{};
    Check(Call(DG_CONTROL, DAT_CAPABILITY, MSG_RESETALL, &all), "resetting the capabilities");
    // The device events chosen are a capability too, which the reset emptied.
    if (!mDeviceEvents.empty())
        SelectDeviceEvents();
}

void CTwainSession::SelectDeviceEvents() {
    const std::size_t bytes = offsetof(TW_ARRAY, ItemList) + mDeviceEvents.size() * sizeof(TW_UINT16);
    const Container container = NewContainer(bytes);
    auto* list = static_cast<std::uint8_t*>(Lock(container.get()));
    if (!list)
        throw ScanError("out of memory");
    const TW_UINT16 itemType = TWTY_UINT16;
    const auto count = static_cast<TW_UINT32>(mDeviceEvents.size());
    std::memcpy(list, &itemType, sizeof itemType);
    std::memcpy(list + offsetof(TW_ARRAY, NumItems), &count, sizeof count);
    std::memcpy(list + offsetof(TW_ARRAY, ItemList), mDeviceEvents.data(),
                mDeviceEvents.size() * sizeof(TW_UINT16));
    Unlock(container.get());
    TW_CAPABILITY cap{CAP_DEVICEEVENT, TWON_ARRAY, container.get()};
    Check(Call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap), "asking for device events");
}

void CTwainSession::Set(const SCapSetting& setting) {
    const Container container = OneValue(setting);
    TW_CAPABILITY cap{setting.capId, TWON_ONEVALUE, container.get()};
    const std::string what = "setting capability 0x" + [&] {
        char hex[8];
        std::snprintf(hex, sizeof hex, "%04X", setting.capId);
        return std::string(hex);
    }();
    Check(Call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap), what.c_str(), {TWRC_SUCCESS, TWRC_CHECKSTATUS});
}

std::int32_t CTwainSession::Current(std::uint16_t capId) {
    TW_CAPABILITY cap{capId, TWON_DONTCARE16, nullptr};
    Check(Call(DG_CONTROL, DAT_CAPABILITY, MSG_GETCURRENT, &cap), "reading a capability");
    const Container container = Own(cap.hContainer);
    const auto* one = static_cast<const TW_ONEVALUE*>(Lock(container.get()));
    if (cap.ConType != TWON_ONEVALUE || !one)
        throw ScanError("the data source answered a capability without its value");
    std::int32_t value = 0;
    if (one->ItemType == TWTY_INT32 || one->ItemType == TWTY_UINT32) {
        std::memcpy(&value, &one->Item, sizeof value);
    } else {
        TW_UINT16 word = 0;
        std::memcpy(&word, &one->Item, sizeof word);
        value = one->ItemType == TWTY_INT16 ? static_cast<TW_INT16>(word) : word;
    }
    Unlock(container.get());
    return value;
}

TW_UINT16 CTwainSession::Callback(pTW_IDENTITY, pTW_IDENTITY, TW_UINT32, TW_UINT16, TW_UINT16 msg,
                                  TW_MEMREF) {
    CTwainSession* session = sSession;
    if (!session)
        return TWRC_FAILURE;
    switch (msg) {
    case MSG_XFERREADY:
        session->Announce(session->mXferReady);
        break;
    case MSG_CLOSEDSREQ:
        session->Announce(session->mCloseRequested);
        break;
    case MSG_DEVICEEVENT: {
        TW_DEVICEEVENT event{};
        if (session->mOnDeviceEvent &&
            session->Call(DG_CONTROL, DAT_DEVICEEVENT, MSG_GET, &event) == TWRC_SUCCESS)
            session->mOnDeviceEvent(event.Event);
        break;
    }
    default:
        break;
    }
    return TWRC_SUCCESS;
}

void CTwainSession::Announce(bool& flag) {
    {
        std::lock_guard lock(mAnnounceMutex);
        flag = true;
    }
    mAnnounced.notify_all();
}

void CTwainSession::Enable() {
    TW_USERINTERFACE ui{};
    ui.ShowUI = 0;
    const TW_UINT16 rc = Call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui);
    if (rc == TWRC_CANCEL && ConditionCode() == TWCC_OVK_BLANKPAGES)
        throw ScanError("every page was blank (blank-page skipping dropped them all): 0 pages written");
    if (rc == TWRC_CANCEL)
        throw ScanError("the scanner did not start: no paper, or the scan was cancelled");
    Check(rc, "starting the scan", {TWRC_SUCCESS, TWRC_CHECKSTATUS});
    mEnabled = true;
    // The transfer-ready message normally arrives during the enable; allow a late one for 10 s.
    std::unique_lock lock(mAnnounceMutex);
    if (!mAnnounced.wait_for(lock, std::chrono::seconds(10), [&] { return mXferReady || mCloseRequested; }) ||
        !mXferReady)
        throw ScanError("the data source never reported a page ready");
}

EPageResult CTwainSession::TransferPage(SPageBitmap& page) {
    TW_IMAGEINFO info{};
    TW_UINT16 rc = Call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info);
    if (rc == TWRC_CANCEL) {
        NoteBatchFault();
        return EPageResult::kCancelled;
    }
    Check(rc, "reading the image information");
    TW_SETUPMEMXFER setup{};
    Check(Call(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup), "setting up the memory transfer");
    ReadRows(info, page, setup.Preferred);
    return page.IsValid() ? EPageResult::kDone : EPageResult::kCancelled;
}

void CTwainSession::ReadRows(const TW_IMAGEINFO& info, SPageBitmap& page, std::uint32_t bufferSize) {
    page = SPageBitmap{};
    std::vector<std::uint8_t> buffer(bufferSize);
    for (;;) {
        TW_IMAGEMEMXFER block{};
        block.Memory.Flags = TWMF_APPOWNS | TWMF_POINTER;
        block.Memory.Length = bufferSize;
        block.Memory.TheMem = buffer.data();
        if (mStopRequested && mStopRequested()) {
            page = SPageBitmap{};
            return;
        }
        const TW_UINT16 rc = Call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &block);
        if (rc == TWRC_CANCEL) {
            NoteBatchFault();
            page = SPageBitmap{};
            return;
        }
        Check(rc, "transferring the page", {TWRC_SUCCESS, TWRC_XFERDONE});
        if (page.pixels.empty()) {
            page.width = block.Columns;
            page.height = static_cast<std::uint32_t>(info.ImageLength);
            page.samplesPerPixel = static_cast<std::uint16_t>(info.SamplesPerPixel);
            page.bitsPerSample =
                static_cast<std::uint16_t>(info.BitsPerPixel / std::max<TW_INT16>(1, info.SamplesPerPixel));
            page.bytesPerRow = block.BytesPerRow;
            page.xResolution = info.XResolution.Whole + info.XResolution.Frac / 65536.0f;
            page.yResolution = info.YResolution.Whole + info.YResolution.Frac / 65536.0f;
            // Rows shorter than the width needs would make every encoder read past them.
            if (page.bytesPerRow < page.MinimumBytesPerRow())
                throw ScanError("the data source sent rows of " + std::to_string(page.bytesPerRow) +
                                " bytes for " + std::to_string(page.width) + " pixels of " +
                                std::to_string(info.BitsPerPixel) + " bits");
            page.pixels.resize(std::size_t{page.bytesPerRow} * page.height);
        }
        const std::size_t offset = std::size_t{block.YOffset} * page.bytesPerRow;
        if (offset + block.BytesWritten > page.pixels.size())
            throw ScanError("the data source sent rows beyond the page");
        std::memcpy(page.pixels.data() + offset, buffer.data(), block.BytesWritten);
        if (rc == TWRC_XFERDONE)
            return;
    }
}

bool CTwainSession::EndTransfer() {
    TW_PENDINGXFERS pending{};
    const TW_UINT16 rc = Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending);
    if (rc == TWRC_CANCEL || (rc == TWRC_SUCCESS && pending.Count == 0))
        NoteBatchFault();
    if (rc == TWRC_CANCEL)
        return false;
    Check(rc, "ending the page");
    std::lock_guard lock(mAnnounceMutex);
    mXferReady = pending.Count != 0;
    return pending.Count != 0;
}

void CTwainSession::Close() {
    if (mSourceOpen) {
        TW_PENDINGXFERS pending{};
        Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending);
        if (mEnabled) {
            TW_USERINTERFACE ui{};
            Call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
            mEnabled = false;
        }
        Check(Call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &mSource, false), "closing the data source");
        mSourceOpen = false;
    }
}

} // namespace twainscan
