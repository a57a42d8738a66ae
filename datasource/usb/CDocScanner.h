// The generic scanner device: finding scanners on the bus, the USB session (open, claim, close), raw
// transfers on the two bulk pipes and stall clearing, plus the base behaviour of the scan operations
// that the scanner model's device object overrides.
#pragma once

#include "UsbDevice.h"

#include <cstdint>
#include <memory>
#include <vector>

struct tagScanParam; // the scan parameter record, defined with the scan control

namespace k3100 {

inline constexpr uint32_t kTransportUSB = 0;
inline constexpr uint32_t kTransferTimeoutMs = 90000; // both the no-data and the completion time-out

// Defaults when the data source's info dictionary names no ids; assigned to no real vendor, so that
// nothing but a K3100 (or the emulator) is ever matched.
inline constexpr uint16_t kDefaultVendorId = 0xF3B1;
inline constexpr uint16_t kDefaultProductId = 0x3100;
// Keys of the data source's info dictionary that override them (numbers).
inline constexpr const char* kVendorIdInfoKey = "VXUSBVendorID";
inline constexpr const char* kProductIdInfoKey = "VXUSBProductID";

struct SScannerDesc {
    uint32_t kind = kTransportUSB;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    std::shared_ptr<usb::UsbDevice> device; // filled by discovery; shared by every copy
};

class CDocScanner {
public:
    enum State : int { kNoSession = 0, kSessionOpen = 1, kScanning = 2, kSideComplete = 4 };

    explicit CDocScanner(const SScannerDesc& desc);
    virtual ~CDocScanner();
    CDocScanner(const CDocScanner&) = delete;
    CDocScanner& operator=(const CDocScanner&) = delete;

    // One description per matching device; empty when nothing matches or the bus cannot be read.
    static std::vector<SScannerDesc> CreateScannerList(const SScannerDesc& desc);
    static void ReleaseScannerList(std::vector<SScannerDesc>& list);

    virtual int OpenSession();
    virtual int CloseSession();
    virtual int StartScan(tagScanParam* param);
    virtual int FinishScan();
    virtual int ScanPage(tagScanParam* param);
    virtual int ScanComplete();
    virtual int ReadLines(uint8_t* destination, uint32_t rowBytes, uint32_t* lineCount);
    virtual int AbortScan();
    virtual int GetStatus(const char* key, void* output);
    virtual int GetState() const { return state; }
    virtual uint32_t GetScannerError() const { return scannerError; }
    virtual void SetScannerError(uint32_t error) { scannerError = error; }
    virtual uint32_t GetLocationID() const { return locationID; }

    // One bulk transfer on the bulk-in (read) or bulk-out (write) pipe.
    virtual usb::UsbStatus ReadData(uint8_t* buffer, uint32_t* size, uint32_t noDataTimeoutMs,
                                    uint32_t completionTimeoutMs);
    virtual usb::UsbStatus WriteData(const uint8_t* buffer, uint32_t size, uint32_t noDataTimeoutMs,
                                     uint32_t completionTimeoutMs);

    // Clears a stall on the bulk-in pipe, then (when that worked) on the bulk-out pipe; decoded result.
    uint32_t ClearEndpoints();

    usb::UsbDevice* device() const { return desc.device.get(); }

protected:
    int state = kNoSession;
    uint8_t inPipe = usb::kBulkInPipe;
    uint8_t outPipe = usb::kBulkOutPipe;
    uint32_t scannerError = 0;
    uint32_t locationID = 0;
    SScannerDesc desc;
};

} // namespace k3100
