// Recognises the calling application by substrings of its identity's manufacturer and product name, in
// a fixed order where the first match wins; this maker's own application is recognised by its exact
// manufacturer name and overrides the table.
#include "ClientApp.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "Bundle.h"
#include "TwainText.h"

namespace {

std::unique_ptr<CClientApp> sClientApp;

constexpr char kOwnManufacturer[] = "Orvik Electronics";

bool HostIsBackgroundOnly() {
    return fnd::Bundle::main().infoValue("LSBackgroundOnly").asBool().value_or(false);
}

} // namespace

const CClientApp::SSignature CClientApp::sAppSignature[] = {
    {"Apple Computer", "TWAINBridge", kBridgeClient},
    {"Apple Computer, Inc.", "Image Capture", kCaptureClient},
    {"Apple", "Image Capture TWAIN", kCaptureTwainClient},
    {"Adobe", "Adobe Acrobat", kReaderClient},
    {"Adobe Systems, Inc.", "Adobe Photoshop CS3", kPhotoEditorClient},
    {"Adobe", "Adobe", kGenericSuiteClient},
    {"Microsoft", "Microsoft", kOfficeClient},
    {"NewSoftInc", "ScanModule", kScanModuleClient},
};
const std::size_t CClientApp::CLIENTAPP_COUNT = std::size(sAppSignature);

CClientApp::CClientApp(const TW_IDENTITY& application) : mBackgroundOnly(HostIsBackgroundOnly() ? 1 : 0) {
    const std::string manufacturer = TwainText(application.Manufacturer, sizeof application.Manufacturer);
    const std::string product = TwainText(application.ProductName, sizeof application.ProductName);
    // An empty manufacturer names nobody, so it matches no signature.
    if (manufacturer.empty())
        return;
    for (const SSignature& row : sAppSignature) {
        if (manufacturer.find(row.manufacturer) != std::string::npos &&
            product.find(row.product) != std::string::npos) {
            mClientId = row.clientId;
            break;
        }
    }
    if (mClientId == kGenericSuiteClient && !IsLengthPrefixedText(application.Manufacturer))
        mClientId = kPlainTextSuiteClient;
    // On Linux this maker's applications write their identity zero-terminated like any other.
    if (manufacturer == kOwnManufacturer)
        mClientId = kOwnApplication;
}

CClientApp* CClientApp::Current() {
    return sClientApp.get();
}

void CClientApp::BeginSession(const TW_IDENTITY& application) {
    sClientApp = std::make_unique<CClientApp>(application);
}

void CClientApp::EndSession() {
    sClientApp.reset();
}

std::int32_t CClientApp::CurrentId() {
    return sClientApp ? sClientApp->ClientId() : kUnknownClient;
}

bool CClientApp::RequireNextTransferRequest() const {
    return mClientId >= kCaptureClient && mClientId <= kPhotoEditorClient;
}

bool CClientApp::IsDisableDetectPageType() const {
    return (mClientId >= kBridgeClient && mClientId <= kReaderClient) || mClientId == kScanModuleClient;
}
