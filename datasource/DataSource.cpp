// The single instance, the entry every triplet passes through, and the triplets that only report:
// identity, status and transfer group. A failure's condition code stays until DAT_STATUS reads it or a
// later triplet succeeds.
#include "DataSource.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "DataSourceIdentity.h"
#include "OrvkQSDS.h"

namespace {

std::unique_ptr<CDataSource> sDataSource;

// This system's identity strings: a length byte, the text, a zero byte.
template <std::size_t N> void SetLengthPrefixed(char (&field)[N], const char* text) {
    const std::size_t length = std::min(std::strlen(text), N - 2);
    std::memset(field, 0, N);
    field[0] = static_cast<char>(length);
    std::memcpy(field + 1, text, length);
}

bool IsCloseDS(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg) {
    return dg == DG_CONTROL && dat == DAT_IDENTITY && msg == MSG_CLOSEDS;
}

} // namespace

CDataSource* CDataSource::CurrentDataSource() {
    if (!sDataSource)
        sDataSource = std::make_unique<COrvkQSDS>();
    return sDataSource.get();
}

void CDataSource::DestroyCurrentDataSource() {
    sDataSource.reset();
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
    SetLengthPrefixed(mIdentity.Version.Info, kDSVersionInfo);
    mIdentity.ProtocolMajor = 1;
    mIdentity.ProtocolMinor = 9;
    mIdentity.SupportedGroups = DG_CONTROL | DG_IMAGE;
    SetLengthPrefixed(mIdentity.Manufacturer, kDSManufacturer);
    SetLengthPrefixed(mIdentity.ProductFamily, kDSProductFamily);
    SetLengthPrefixed(mIdentity.ProductName, kDSProductName);
}

CDataSource::~CDataSource() = default;

TW_UINT16 CDataSource::Dispatch(pTW_IDENTITY origin, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                                TW_MEMREF data) {
    const STripletRow* row = GetTripletHandler(dg, dat, msg);
    if (!row)
        return Fail(TWCC_BADPROTOCOL);
    if (mState < 0 || mState > kTransferring || !(row->states & StateBit(mState)))
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
        mIdentity.Id = identity->Id;
        *identity = mIdentity;
    }
    return TWRC_SUCCESS;
}

TW_UINT16 CDataSource::GetStatus(pTW_IDENTITY, TW_MEMREF data) {
    auto* status = static_cast<TW_STATUS*>(data);
    if (!status)
        return Fail(TWCC_BADVALUE);
    status->ConditionCode = mConditionCode;
    status->Reserved = 0;
    mConditionCode = TWCC_SUCCESS;
    return TWRC_SUCCESS;
}

TW_UINT16 CDataSource::GetXferGroup(pTW_IDENTITY, TW_MEMREF data) {
    if (!data)
        return Fail(TWCC_BADVALUE);
    const TW_UINT16 group = DG_IMAGE;
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
