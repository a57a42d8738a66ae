// Each method is one DSM_Entry call plus the bookkeeping of the session's state and flags. Containers are
// allocated and freed with the manager's memory functions once a TWAIN 2 manager or data source is met,
// so that both sides share one allocator; before that, and on Linux anyway, a handle is a C-heap block.
#include "VX_TWAINHandler.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <malloc.h>

#include "VX_SourceManagerLibrary.h"
#include "VX_TWAINCommon.h"

namespace {

// Where the item starts in a one-value container: byte 2 with the records' 2-byte packing.
constexpr std::size_t kItemOffset = offsetof(TW_ONEVALUE, Item);

TW_HANDLE HeapAllocate(TW_UINT32 size) {
    return std::calloc(1, std::max<TW_UINT32>(size, 1));
}
void HeapFree(TW_HANDLE handle) {
    std::free(handle);
}
TW_MEMREF HeapLock(TW_HANDLE handle) {
    return handle;
}
void HeapUnlock(TW_HANDLE) {}

} // namespace

VX_TWAINHandler::VX_TWAINHandler(std::string_view manufacturer, std::string_view productFamily,
                                 std::string_view productName, std::string_view versionInfo,
                                 DSMENTRYPROC entry) {
    mAppIdentity.Id = 0; // the manager assigns it
    mAppIdentity.Version.MajorNum = 1;
    mAppIdentity.Version.MinorNum = 0;
    mAppIdentity.Version.Language = TWLG_USA;
    mAppIdentity.Version.Country = TWCY_USA;
    VX_TWAINCommon::setIdentityText(mAppIdentity.Version.Info, versionInfo);
    mAppIdentity.ProtocolMajor = TWON_PROTOCOLMAJOR;
    mAppIdentity.ProtocolMinor = TWON_PROTOCOLMINOR;
    mAppIdentity.SupportedGroups = DG_CONTROL | DG_IMAGE | DF_APP2;
    VX_TWAINCommon::setIdentityText(mAppIdentity.Manufacturer, manufacturer);
    VX_TWAINCommon::setIdentityText(mAppIdentity.ProductFamily, productFamily);
    VX_TWAINCommon::setIdentityText(mAppIdentity.ProductName, productName);
    mEntryPoints = {sizeof(TW_ENTRYPOINT),
                    entry ? entry : VX_SourceManagerEntry(),
                    &HeapAllocate,
                    &HeapFree,
                    &HeapLock,
                    &HeapUnlock};
}

VX_TWAINHandler::~VX_TWAINHandler() {
    if (mDSEnabled) {
        TW_USERINTERFACE ui{};
        disableDS(&ui);
    }
    if (mDSOpen)
        closeDS();
    if (mDSMOpen)
        closeDSM();
}

int VX_TWAINHandler::call(TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    if (!mEntryPoints.DSM_Entry)
        return TWRC_FAILURE;
    return static_cast<TW_INT16>(mEntryPoints.DSM_Entry(&mAppIdentity, dest, dg, dat, msg, data));
}

int VX_TWAINHandler::openDSM() {
    // Marked open whatever the answer, so that nothing tries again and destruction still closes.
    mDSMOpen = true;
    mState = kVXStateDSMOpen;
    TW_MEMREF parent = nullptr; // no parent window on this platform
    const int rc = call(nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &parent);
    if (rc == TWRC_SUCCESS && (mAppIdentity.SupportedGroups & DF_DSM2))
        takeEntryPoints();
    return rc;
}

void VX_TWAINHandler::takeEntryPoints() {
    TW_ENTRYPOINT points{};
    points.Size = sizeof points;
    if (call(nullptr, DG_CONTROL, DAT_ENTRYPOINT, MSG_GET, &points) != TWRC_SUCCESS)
        return;
    if (!points.DSM_MemAllocate || !points.DSM_MemFree || !points.DSM_MemLock || !points.DSM_MemUnlock)
        return;
    mEntryPoints.DSM_MemAllocate = points.DSM_MemAllocate;
    mEntryPoints.DSM_MemFree = points.DSM_MemFree;
    mEntryPoints.DSM_MemLock = points.DSM_MemLock;
    mEntryPoints.DSM_MemUnlock = points.DSM_MemUnlock;
}

int VX_TWAINHandler::openDSMIfNeeded() {
    if (mDSMOpen)
        return TWRC_SUCCESS;
    return openDSM() == TWRC_SUCCESS ? TWRC_SUCCESS : kVXNoSourceManager;
}

int VX_TWAINHandler::closeDSM() {
    if (!mDSMOpen)
        return kVXNoSourceManager;
    TW_MEMREF parent = nullptr;
    call(nullptr, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &parent);
    mState = kVXStateDSMClosed;
    mDSMOpen = mDSOpen = mDSEnabled = false;
    return TWRC_SUCCESS;
}

int VX_TWAINHandler::registerCallback(TWAINCALLBACKPROC proc, TW_UINT32 refCon) {
    if (openDSMIfNeeded() != TWRC_SUCCESS)
        return kVXNoSourceManager;
    mCallback = TW_CALLBACK{};
    mCallback.CallBackProc = reinterpret_cast<TW_MEMREF>(proc);
    mCallback.RefCon = refCon;
    TW_CALLBACK record = mCallback;
    return call(nullptr, DG_CONTROL, DAT_CALLBACK, MSG_REGISTER_CALLBACK, &record);
}

int VX_TWAINHandler::enumerate(TW_UINT16 msg) {
    if (openDSMIfNeeded() != TWRC_SUCCESS)
        return kVXNoSourceManager;
    mEnumerated = true;
    TW_IDENTITY found{};
    const int rc = call(nullptr, DG_CONTROL, DAT_IDENTITY, msg, &found);
    if (rc == TWRC_SUCCESS)
        mDSIdentity = found;
    return rc;
}

int VX_TWAINHandler::getFirst() {
    return enumerate(MSG_GETFIRST);
}

int VX_TWAINHandler::getNext() {
    return enumerate(MSG_GETNEXT);
}

int VX_TWAINHandler::openVXDS(const fnd::Dictionary& info) {
    int rc = getFirst();
    for (; rc == TWRC_SUCCESS; rc = getNext()) {
        if (VX_TWAINCommon::isVXDS_Identity(mDSIdentity, info))
            return openDS();
    }
    return rc;
}

int VX_TWAINHandler::openDS() {
    if (openDSMIfNeeded() != TWRC_SUCCESS)
        return kVXNoSourceManager;
    const int rc = call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &mDSIdentity);
    if (rc != TWRC_SUCCESS)
        return rc;
    mDSOpen = true;
    mState = kVXStateDSOpen;
    // A TWAIN 2 data source allocates the containers it answers with the manager's memory functions.
    if (mDSIdentity.SupportedGroups & DF_DS2)
        takeEntryPoints();
    // A TWAIN 2 manager takes the callback per data source; the registration made without a data source
    // serves managers that keep one per application.
    if (mCallback.CallBackProc) {
        TW_CALLBACK record = mCallback;
        call(&mDSIdentity, DG_CONTROL, DAT_CALLBACK, MSG_REGISTER_CALLBACK, &record);
    }
    return rc;
}

int VX_TWAINHandler::closeDS() {
    const int rc = call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &mDSIdentity);
    mState = kVXStateDSClosed;
    mDSOpen = mDSEnabled = false;
    return rc;
}

int VX_TWAINHandler::userInterface(TW_UINT16 msg, TW_USERINTERFACE* ui) {
    const int rc = call(&mDSIdentity, DG_CONTROL, DAT_USERINTERFACE, msg, ui);
    if (rc != TWRC_SUCCESS)
        return rc;
    mDSEnabled = msg != MSG_DISABLEDS;
    mState = mDSEnabled ? kVXStateDSEnabled : kVXStateDSDisabled;
    return rc;
}

int VX_TWAINHandler::enableDS(TW_USERINTERFACE& ui) {
    return userInterface(MSG_ENABLEDS, &ui);
}

int VX_TWAINHandler::enableDSUIOnly(TW_USERINTERFACE& ui) {
    return userInterface(MSG_ENABLEDSUIONLY, &ui);
}

int VX_TWAINHandler::disableDS(TW_USERINTERFACE* ui) {
    return userInterface(MSG_DISABLEDS, ui);
}

int VX_TWAINHandler::setDSCapability(TW_UINT16 cap, TW_UINT16 itemType, const VX_CapItem& value) {
    TW_CAPABILITY capability{cap, TWON_ONEVALUE, nullptr};
    if (const int rc = setupOneValue(capability, itemType, value); rc != 0)
        return rc;
    const int rc = call(&mDSIdentity, DG_CONTROL, DAT_CAPABILITY, MSG_SET, &capability);
    releaseContainer(capability);
    return rc;
}

int VX_TWAINHandler::getDSCapability(TW_UINT16 msg, TW_UINT16 cap, VX_CapItem& value, TW_UINT16& itemType) {
    std::memset(&value, 0, sizeof value);
    itemType = 0;
    TW_CAPABILITY capability{cap, TWON_DONTCARE16, nullptr};
    const int rc = call(&mDSIdentity, DG_CONTROL, DAT_CAPABILITY, msg, &capability);
    if (rc != TWRC_SUCCESS)
        return rc;
    if (capability.ConType != TWON_ONEVALUE || !capability.hContainer) {
        releaseContainer(capability);
        return TWRC_INFONOTSUPPORTED;
    }
    return getOneValue(capability, itemType, value, true) == 0 ? rc : TWRC_INFONOTSUPPORTED;
}

int VX_TWAINHandler::passThru(TW_PASSTHRU& pt) {
    return call(&mDSIdentity, DG_CONTROL, DAT_PASSTHRU, MSG_PASSTHRU, &pt);
}

int VX_TWAINHandler::getDeviceEvent(TW_DEVICEEVENT& ev) {
    return call(&mDSIdentity, DG_CONTROL, DAT_DEVICEEVENT, MSG_GET, &ev);
}

int VX_TWAINHandler::getDSStatus(TW_STATUS& st) {
    return call(&mDSIdentity, DG_CONTROL, DAT_STATUS, MSG_GET, &st);
}

// The text is the data source's block, made with the manager's memory functions: freed here with them.
std::string VX_TWAINHandler::getDSStatusText(const TW_STATUS& st) {
    TW_STATUSUTF8 record{};
    record.Status = st;
    if (!mDSOpen || call(&mDSIdentity, DG_CONTROL, DAT_STATUSUTF8, MSG_GET, &record) != TWRC_SUCCESS ||
        !record.UTF8string)
        return {};
    std::string text;
    if (const auto* bytes = static_cast<const char*>(mEntryPoints.DSM_MemLock(record.UTF8string))) {
        text.assign(bytes, strnlen(bytes, record.Size));
        mEntryPoints.DSM_MemUnlock(record.UTF8string);
    }
    mEntryPoints.DSM_MemFree(record.UTF8string);
    return text;
}

int VX_TWAINHandler::getDSMStatus(TW_STATUS& st) {
    return call(nullptr, DG_CONTROL, DAT_STATUS, MSG_GET, &st);
}

int VX_TWAINHandler::messageDS(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    return call(&mDSIdentity, dg, dat, msg, data);
}

std::size_t VX_TWAINHandler::getItemSize(TW_UINT16 itemType) {
    return twainItemSize(itemType);
}

int VX_TWAINHandler::setupOneValue(TW_CAPABILITY& cap, TW_UINT16 itemType, const VX_CapItem& value) {
    cap.ConType = TWON_ONEVALUE;
    const bool isString = itemType == TWTY_STR32 || itemType == TWTY_STR64 || itemType == TWTY_STR255;
    const std::size_t itemBytes = isString ? getItemSize(itemType) : sizeof(TW_UINT32);
    cap.hContainer = mEntryPoints.DSM_MemAllocate(static_cast<TW_UINT32>(kItemOffset + itemBytes));
    if (!cap.hContainer)
        return kVXContainerMemory;
    auto* block = static_cast<std::uint8_t*>(mEntryPoints.DSM_MemLock(cap.hContainer));
    std::memset(block, 0, kItemOffset + itemBytes);
    std::memcpy(block + offsetof(TW_ONEVALUE, ItemType), &itemType, sizeof itemType);
    std::memcpy(block + kItemOffset, &value, itemBytes);
    mEntryPoints.DSM_MemUnlock(cap.hContainer);
    return 0;
}

int VX_TWAINHandler::getOneValue(TW_CAPABILITY& cap, TW_UINT16& itemType, VX_CapItem& value, bool release) {
    if (cap.ConType != TWON_ONEVALUE || !cap.hContainer)
        return kVXNotOneValue;
    std::memset(&value, 0, sizeof value);
    const auto* block = static_cast<const std::uint8_t*>(mEntryPoints.DSM_MemLock(cap.hContainer));
    std::memcpy(&itemType, block + offsetof(TW_ONEVALUE, ItemType), sizeof itemType);
    const std::size_t itemSize = getItemSize(itemType);
    std::size_t bytes = itemSize >= 3 ? itemSize : sizeof(TW_UINT32);
    // Never past the container's end, whatever item type it claims.
    const std::size_t size = malloc_usable_size(cap.hContainer);
    bytes = std::min(bytes, size > kItemOffset ? size - kItemOffset : 0);
    std::memcpy(&value, block + kItemOffset, bytes);
    mEntryPoints.DSM_MemUnlock(cap.hContainer);
    if (release)
        releaseContainer(cap);
    return 0;
}

void VX_TWAINHandler::releaseContainer(TW_CAPABILITY& cap) {
    if (cap.hContainer)
        mEntryPoints.DSM_MemFree(cap.hContainer);
    cap.hContainer = nullptr;
}
