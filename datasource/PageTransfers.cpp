// Page transfers of the base class. Until the scanner's scan sequence provides pages these answer as an
// unsupported protocol, after the triplet table's state check.
#include "DataSource.h"

TW_UINT16 CDataSource::SetupMemXfer(pTW_IDENTITY, TW_MEMREF) {
    return Fail(TWCC_BADPROTOCOL);
}
TW_UINT16 CDataSource::GetImageInfo(pTW_IDENTITY, TW_MEMREF) {
    return Fail(TWCC_BADPROTOCOL);
}
TW_UINT16 CDataSource::ImageMemXfer(pTW_IDENTITY, TW_MEMREF) {
    return Fail(TWCC_BADPROTOCOL);
}
TW_UINT16 CDataSource::ImageNativeXfer(pTW_IDENTITY, TW_MEMREF) {
    return Fail(TWCC_BADPROTOCOL);
}
TW_UINT16 CDataSource::ImageFileXfer(pTW_IDENTITY, TW_MEMREF) {
    return Fail(TWCC_BADPROTOCOL);
}
