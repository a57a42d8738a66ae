// Session and raw transfers of the generic scanner device over the platform's USB layer.
#include "CDocScanner.h"

#include "ResultDecoding.h"
#include "ScannerErrors.h"

#include "UsbDiscovery.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <string>

namespace k3100 {
namespace {

// Said once per problem: the menu-bar helper looks for the scanner every few seconds.
void ReportRefusedScanner(const std::string& problem) {
    static std::mutex lock;
    static std::string reported;
    const std::lock_guard guard(lock);
    if (problem == reported)
        return;
    reported = problem;
    std::fprintf(stderr,
                 "K3100: the emulated scanner's socket %s: not used. Start an emulator of your own and point "
                 "K3100_EMULATOR_SOCKET at its socket\n",
                 problem.c_str());
}

} // namespace

CDocScanner::CDocScanner(const SScannerDesc& desc) : desc(desc) {}

CDocScanner::~CDocScanner() {
    if (desc.device && desc.device->isOpen())
        desc.device->close();
}

std::vector<SScannerDesc> CDocScanner::CreateScannerList(const SScannerDesc& desc) {
    std::vector<SScannerDesc> list;
    if (desc.kind != kTransportUSB)
        return list;
    usb::DeviceList devices;
    std::string problem;
    if (usb::findDevices(desc.vendorId, desc.productId, devices, &problem) != usb::UsbStatus::Ok &&
        !problem.empty())
        ReportRefusedScanner(problem);
    for (auto& device : devices) {
        SScannerDesc entry = desc;
        entry.device = std::move(device);
        list.push_back(std::move(entry));
    }
    return list;
}

void CDocScanner::ReleaseScannerList(std::vector<SScannerDesc>& list) {
    list.clear();
}

int CDocScanner::OpenSession() {
    if (!desc.device)
        return static_cast<int>(kScanErrDeviceNotFound);
    const usb::UsbStatus status = desc.device->open();
    if (status != usb::UsbStatus::Ok)
        return static_cast<int>(DecodeIOResult(status));
    locationID = desc.device->locationId();
    state = kSessionOpen;
    return 0;
}

int CDocScanner::CloseSession() {
    if (desc.device)
        desc.device->close();
    state = kNoSession;
    return 0;
}

int CDocScanner::StartScan(tagScanParam*) {
    state = kScanning;
    return 0;
}

int CDocScanner::FinishScan() {
    state = kSessionOpen;
    return 0;
}

int CDocScanner::ScanPage(tagScanParam*) {
    state = kScanning;
    return 0;
}

int CDocScanner::ScanComplete() {
    state = kSideComplete;
    return 0;
}

int CDocScanner::ReadLines(uint8_t*, uint32_t, uint32_t*) {
    return 0;
}
int CDocScanner::AbortScan() {
    return 0;
}
int CDocScanner::GetStatus(const char*, void*) {
    return 0;
}

usb::UsbStatus CDocScanner::ReadData(uint8_t* buffer, uint32_t* size, uint32_t noDataTimeoutMs,
                                     uint32_t completionTimeoutMs) {
    if (size == nullptr || (buffer == nullptr && *size != 0)) {
        return usb::UsbStatus::BadArgument;
    }
    if (!desc.device) {
        *size = 0;
        return usb::UsbStatus::NoDevice;
    }
    size_t received = 0;
    const usb::UsbStatus status = desc.device->bulkRead(inPipe, {buffer, *size}, received,
                                                        std::max(noDataTimeoutMs, completionTimeoutMs));
    *size = static_cast<uint32_t>(received);
    return status;
}

usb::UsbStatus CDocScanner::WriteData(const uint8_t* buffer, uint32_t size, uint32_t noDataTimeoutMs,
                                      uint32_t completionTimeoutMs) {
    if (buffer == nullptr && size != 0)
        return usb::UsbStatus::BadArgument;
    if (!desc.device)
        return usb::UsbStatus::NoDevice;
    return desc.device->bulkWrite(outPipe, {buffer, size}, std::max(noDataTimeoutMs, completionTimeoutMs));
}

uint32_t CDocScanner::ClearEndpoints() {
    if (!desc.device)
        return kScanErrDeviceNotFound;
    std::lock_guard lock(desc.device->commandMutex());
    usb::UsbStatus status = desc.device->clearHalt(inPipe);
    if (status == usb::UsbStatus::Ok)
        status = desc.device->clearHalt(outPipe);
    return DecodeIOResult(status);
}

} // namespace k3100
