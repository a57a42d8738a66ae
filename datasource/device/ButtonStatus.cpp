// GetQSButtonStatus: the menu-bar helper's poll of the scanner's panel keys, without a TWAIN session.
// It takes the cross-process scanner lock once (never waiting: a data source that has the scanner open
// wins at once), reads the key status through its own device object and releases everything again.
#include "COrvkQS.h"
#include "ExclusiveLock.h"
#include "PixenLibrary.h"

#include "CDocScanner.h"

#include <cstdint>
#include <exception>

namespace {

constexpr int kNoScanner = -1;
constexpr int kLockRefused = -2;
constexpr int kDeviceFailed = -3;

int readKeys(uint32_t* keyStatus, uint32_t* locationId) {
    auto lock = CExclusiveLockObject::CreateExclusiveLockObject("k_3100");
    if (!lock || !lock->LockObject())
        return kLockRefused;
    using namespace k3100;
    std::vector<SScannerDesc> list =
        CDocScanner::CreateScannerList({kTransportUSB, kDefaultVendorId, kDefaultProductId, {}});
    int result = kNoScanner;
    if (!list.empty()) {
        auto device = std::make_unique<COrvkQS>(list.front(), PixenQS880Library());
        CDocScanner::ReleaseScannerList(list);
        result = kDeviceFailed;
        if (device->OpenSession() == 0) {
            if (locationId != nullptr)
                *locationId = device->GetLocationID();
            if (device->StartScan(nullptr) == 0) {
                uint32_t keys = 0;
                if (device->GetStatus("OperationpanelEZKeyStatus", &keys) == 0) {
                    *keyStatus = keys;
                    result = 0;
                }
            }
            device->FinishScan();
            device->CloseSession();
        }
    }
    lock->UnlockObject();
    return result;
}

} // namespace

// keyStatus: bit 0 key 1, bit 1 key 2, bit 2 key 3; written only by a successful read. locationId may be
// null. 0 read, -1 no scanner, -2 the scanner is in use (or the lock cannot be made), -3 it cannot be read.
extern "C" __attribute__((visibility("default"))) int GetQSButtonStatus(uint32_t* keyStatus,
                                                                        uint32_t* locationId) {
    if (locationId != nullptr)
        *locationId = 0;
    if (keyStatus == nullptr)
        return kDeviceFailed;
    try {
        return readKeys(keyStatus, locationId);
    } catch (...) {
        return kDeviceFailed;
    }
}
