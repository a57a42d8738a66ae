// The data source or the manager says why nothing could be opened: no data source (condition code 3)
// or one that cannot be used. A scanner busy in another program is told as such, being the one case the
// user can mend at once.
#include "TlvScanMessages.h"

namespace tlv {

std::string openFailureKey(int rc, TW_UINT16 condition) {
    if (rc == kOpenQuitting || condition == TWCC_NODS)
        return "Err_NotLoadScannerDriver";
    if (condition == TWCC_MAXCONNECTIONS)
        return "Err_ScannerInUse";
    return "Err_NotUseScannerDriver";
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
