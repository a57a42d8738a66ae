// A walk that ends at the end of the list found no data source of this scanner: nothing to open. Any
// other failure happened at the open, where the data source said why.
#include "TlvScanMessages.h"

namespace tlv {

std::string openFailureKey(int rc, TW_UINT16 condition) {
    if (rc == kOpenQuitting)
        return "Err_NotLoadScannerDriver";
    if (rc == TWRC_ENDOFLIST)
        return "Err_NotFoundScannerDriver";
    switch (condition) {
    case TWCC_MAXCONNECTIONS:
        return "Err_ScannerInUse";
    case TWCC_NODS:
    case TWCC_CHECKDEVICEONLINE:
        return "Err_ScannerNotConnected";
    default:
        return "Err_NotUseScannerDriver";
    }
}

std::string scanFailureKey(TW_UINT16 condition) {
    switch (condition) {
    case TWCC_PAPERJAM:
        return "Err_ScanPaperJam";
    case TWCC_PAPERDOUBLEFEED:
        return "Err_ScanDoubleFeed";
    case TWCC_NOMEDIA:
        return "Err_ScanNoPaper";
    case TWCC_CHECKDEVICEONLINE:
    case TWCC_NODS:
        return "Err_ScannerNotConnected";
    case TWCC_LOWMEMORY:
        return "Err_MemFullError";
    default:
        return "Err_ScanStopped";
    }
}

} // namespace tlv
