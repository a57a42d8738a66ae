// The dialog's reach past the capability pool to the scanner: its identity and counters, the counter
// resets, the maximum scan length and the live filter. The device object is taken from the parameters
// at each call; a scan in progress owns the scanner, so every command to it is refused meanwhile (the
// live filter only borrows the device object's page library).
#include "COrvkQS.h"
#include "QSUIController.h"
#include "ScannerInfoRecord.h"
#include "scan/ScanSettings.h"

namespace {

constexpr char kScannerObject[] = "ScannerObject";

k3100::COrvkQS* Scanner(const fnd::Dictionary& parameters, bool scanRunning) {
    return scanRunning ? nullptr : static_cast<k3100::COrvkQS*>(parameters.get(kScannerObject).asPointer());
}

} // namespace

std::optional<fnd::Dictionary> ComOrvikElectronicsK3100QSUIController::getScannerInfo() {
    k3100::COrvkQS* scanner = Scanner(mUIParameters, mScanRunning);
    if (!scanner)
        return std::nullopt;
    ScannerInfoBlock info{};
    ServiceCounters service{};
    std::uint32_t maxScanLength = 0;
    if (scanner->GetStatus("ScannerInfo", info.data()) != 0 ||
        scanner->GetStatus("ServiceData", service.data()) != 0 ||
        scanner->GetStatus("MaxScanLength", &maxScanLength) != 0)
        return std::nullopt;
    return ScannerInfoFromRecords(info, service, maxScanLength);
}

bool ComOrvikElectronicsK3100QSUIController::clearRollerCount(bool pad) {
    k3100::COrvkQS* scanner = Scanner(mUIParameters, mScanRunning);
    return scanner && scanner->ClearRollerCounter(pad ? 1 : 0) == 0;
}

bool ComOrvikElectronicsK3100QSUIController::setMaxScanLength(std::uint32_t length) {
    k3100::COrvkQS* scanner = Scanner(mUIParameters, mScanRunning);
    return scanner && scanner->SetMaxScanLength(length) == 0;
}

bool ComOrvikElectronicsK3100QSUIController::applyFilterWithImage(SPageBitmap& image) {
    k3100::COrvkQS* scanner = Scanner(mUIParameters, false);
    if (!scanner || !mSettings || !image.IsValid())
        return false;
    return scanner->ApplyImageFilter(image.pixels.data(), static_cast<std::int32_t>(image.width),
                                     static_cast<std::int32_t>(image.height),
                                     static_cast<std::int32_t>(image.bytesPerRow), image.bitsPerSample,
                                     image.samplesPerPixel, k3100::FinalFilterSettings(mSettings)) == 0;
}
