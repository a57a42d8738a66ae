// The single instance, the entry every triplet passes through, and the triplets that only report:
// identity, status and transfer group. A failure's condition code stays until DAT_STATUS reads it or a
// later triplet succeeds.
#include "DataSource.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "CapHelpers.h"
#include "DataSourceIdentity.h"
#include "ManagerEntryPoints.h"
#include "OrvkQSDS.h"
#include "TwainText.h"

namespace {

// The single instance. One still here when the statics end belongs to a host that ended its process (or
// unloaded the source) without MSG_CLOSEDS: it ends without its dialog, which may no longer be touched.
struct SCurrentDataSource {
    std::unique_ptr<CDataSource> instance;
    ~SCurrentDataSource() {
        if (instance)
            instance->LeaveDialogBehind();
    }
};

SCurrentDataSource sDataSource;

bool IsCloseDS(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg) {
    return dg == DG_CONTROL && dat == DAT_IDENTITY && msg == MSG_CLOSEDS;
}

} // namespace

CDataSource* CDataSource::CurrentDataSource() {
    if (!sDataSource.instance)
        sDataSource.instance = std::make_unique<COrvkQSDS>();
    return sDataSource.instance.get();
}

void CDataSource::DestroyCurrentDataSource() {
    sDataSource.instance.reset();
}

TW_UINT16 CDataSource::Entry(pTW_IDENTITY origin, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                             TW_MEMREF data) noexcept {
    try {
        CDataSource* dataSource = CurrentDataSource();
        const TW_UINT16 rc = dataSource->Dispatch(origin, dg, dat, msg, data);
        if (IsCloseDS(dg, dat, msg) && rc == TWRC_SUCCESS)
            DestroyCurrentDataSource();
        return rc;
    } catch (...) {
        // Only the creation of the instance can get here; there is nothing to keep a condition code in.
        return TWRC_FAILURE;
    }
}

CDataSource::CDataSource() {
    mIdentity.Id = 1;
    mIdentity.Version.MajorNum = 1;
    mIdentity.Version.MinorNum = 0;
    mIdentity.Version.Language = TWLG_USA;
    mIdentity.Version.Country = TWCY_USA;
    SetTwainText(mIdentity.Version.Info, sizeof(TW_STR32), kDSVersionInfo);
    // TWAIN 2 (DF_DS2): the manager hands over its entry points and delivers messages to the application.
    mIdentity.ProtocolMajor = 2;
    mIdentity.ProtocolMinor = 1;
    mIdentity.SupportedGroups = DG_CONTROL | DG_IMAGE | DF_DS2;
    SetTwainText(mIdentity.Manufacturer, sizeof(TW_STR32), kDSManufacturer);
    SetTwainText(mIdentity.ProductFamily, sizeof(TW_STR32), kDSProductFamily);
    SetTwainText(mIdentity.ProductName, sizeof(TW_STR32), kDSProductName);
}

// A host that drops the source without MSG_CLOSEDS and loads it again in the same process must meet a
// fresh source: the manager's entry points are the process's, not ours. (At exit this may run after the
// other files' statics are gone: the entry points' record has nothing to destroy.)
CDataSource::~CDataSource() {
    ManagerEntryPoints::Clear();
}

TW_UINT16 CDataSource::Dispatch(pTW_IDENTITY origin, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                                TW_MEMREF data) {
    const STripletRow* row = GetTripletHandler(dg, dat, msg);
    if (!row)
        return Fail(TWCC_BADPROTOCOL);
    if (mState < 0 || mState > kTransferring || !(row->states & StateBit(mState)))
        return Fail(TWCC_SEQERROR);
    // Refused before the page, a running transfer or any file is touched, so the application can still
    // take the page the agreed way; a page that went out whole waits in state 7 for its MSG_ENDXFER and
    // is never scanned or written a second time.
    if (dg == DG_IMAGE && (!IsAgreedMechanism(dat) || (IsPageTransfer(dat) && mBatch.IsImageTransferred())))
        return Fail(TWCC_SEQERROR);
    TW_UINT16 rc;
    try {
        rc = (this->*row->handler)(origin, data);
    } catch (const std::bad_alloc&) {
        rc = Fail(TWCC_LOWMEMORY);
    } catch (...) {
        rc = Fail(TWCC_BUMMER);
    }
    if (rc != TWRC_FAILURE && rc != TWRC_CHECKSTATUS && !IsCloseDS(dg, dat, msg))
        SetConditionCode(TWCC_SUCCESS, TWRC_SUCCESS);
    return rc;
}

bool CDataSource::IsPageTransfer(TW_UINT16 dat) {
    return dat == DAT_IMAGEMEMXFER || dat == DAT_IMAGENATIVEXFER || dat == DAT_IMAGEFILEXFER;
}

bool CDataSource::IsAgreedMechanism(TW_UINT16 dat) const {
    if (!mCapPool || !IsPageTransfer(dat))
        return true;
    const std::uint32_t agreed = GetCapUIntValue(mCapPool.get(), ICAP_XFERMECH);
    switch (dat) {
    case DAT_IMAGEMEMXFER:
        return agreed == TWSX_MEMORY;
    case DAT_IMAGENATIVEXFER:
        return agreed == TWSX_NATIVE;
    default: // both file mechanisms end in DAT_IMAGEFILEXFER, with or without the file's record
        return agreed == TWSX_FILE || agreed == TWSX_FILE2;
    }
}

const CDataSource::STripletRow* CDataSource::GetTripletHandler(TW_UINT32 dg, TW_UINT16 dat,
                                                               TW_UINT16 msg) const {
    const auto* end = sTripletHandlers + TRIPLETHANDLER_COUNT;
    const auto* row = std::find_if(sTripletHandlers, end, [&](const STripletRow& candidate) {
        return candidate.dg == dg && candidate.dat == dat && candidate.msg == msg;
    });
    return row == end ? nullptr : row;
}

TW_UINT16 CDataSource::SetConditionCode(TW_UINT16 conditionCode, TW_UINT16 rc) {
    mConditionCode = conditionCode;
    return rc;
}

TW_UINT16 CDataSource::GetIdentity(pTW_IDENTITY, TW_MEMREF data) {
    if (auto* identity = static_cast<pTW_IDENTITY>(data)) {
        // An open session keeps the number its messages carry; the record keeps the asker's.
        const TW_UINT32 id = identity->Id;
        if (mState == kClosed)
            mIdentity.Id = id;
        *identity = mIdentity;
        identity->Id = id;
    }
    return TWRC_SUCCESS;
}

void CDataSource::DescribeIdentity(TW_IDENTITY& identity) const {
    const TW_UINT32 id = identity.Id;
    identity = mIdentity;
    identity.Id = id;
}

TW_UINT16 CDataSource::SetEntryPoint(pTW_IDENTITY, TW_MEMREF data) {
    const auto* entryPoints = static_cast<const TW_ENTRYPOINT*>(data);
    if (!entryPoints || !ManagerEntryPoints::Set(*entryPoints))
        return Fail(TWCC_BADVALUE);
    return TWRC_SUCCESS;
}

TW_UINT16 CDataSource::GetStatus(pTW_IDENTITY, TW_MEMREF data) {
    auto* status = static_cast<TW_STATUS*>(data);
    if (!status)
        return Fail(TWCC_BADVALUE);
    status->ConditionCode = mConditionCode;
    status->Data = 0;
    mConditionCode = TWCC_SUCCESS;
    return TWRC_SUCCESS;
}

TW_UINT16 CDataSource::GetStatusUTF8(pTW_IDENTITY, TW_MEMREF data) {
    auto* record = static_cast<TW_STATUSUTF8*>(data);
    if (!record)
        return Fail(TWCC_BADVALUE);
    record->Size = 0;
    record->UTF8string = nullptr;
    const std::optional<std::string> text = StatusText(record->Status);
    if (!text)
        return Fail(TWCC_BADVALUE);
    const auto size = static_cast<TW_UINT32>(text->size() + 1);
    TW_HANDLE handle = ManagerEntryPoints::Allocate(size);
    auto* bytes = static_cast<char*>(ManagerEntryPoints::Lock(handle));
    if (!bytes) {
        ManagerEntryPoints::Free(handle);
        return Fail(TWCC_LOWMEMORY);
    }
    std::memcpy(bytes, text->c_str(), size);
    ManagerEntryPoints::Unlock(handle);
    record->Size = size;
    record->UTF8string = handle;
    return TWRC_SUCCESS;
}

std::optional<std::string> CDataSource::StatusText(const TW_STATUS&) const {
    return std::nullopt;
}

TW_UINT16 CDataSource::GetXferGroup(pTW_IDENTITY, TW_MEMREF data) {
    if (!data)
        return Fail(TWCC_BADVALUE);
    const TW_UINT32 group = DG_IMAGE;
    std::memcpy(data, &group, sizeof group);
    return TWRC_SUCCESS;
}

// Device events are a scanner's own; a closed source has none to report at all.
TW_UINT16 CDataSource::GetDeviceEvent(pTW_IDENTITY, TW_MEMREF) {
    return Fail(mState == kClosed ? TWCC_SEQERROR : TWCC_BADPROTOCOL);
}

TW_UINT16 CDataSource::PassThru(pTW_IDENTITY, TW_MEMREF) {
    return Fail(TWCC_BADPROTOCOL);
}

TW_UINT16 CDataSource::StopFeeder(pTW_IDENTITY, TW_MEMREF) {
    return Fail(TWCC_BADPROTOCOL);
}
