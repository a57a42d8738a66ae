// CClientApp: which application is using the data source, recognised from the identity it opened with.
// A few applications need behaviour of their own; the rest of the data source asks the current client.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "twain.h"

class CClientApp {
public:
    // Client ids of the applications that get behaviour of their own (0: none).
    enum EClientId : std::int32_t {
        kUnknownClient = 0,
        kBridgeClient = 1,
        kCaptureClient = 2,
        kCaptureTwainClient = 3,
        kGenericSuiteClient = 4,
        kPhotoEditorClient = 5,
        kOfficeClient = 6,
        kReaderClient = 7,
        kPlainTextSuiteClient = 8,
        kScanModuleClient = 9,
        kOwnApplication = 10,
    };

    struct SSignature {
        const char* manufacturer; // must occur in the application's manufacturer
        const char* product;      // must occur in its product name
        std::int32_t clientId;
    };
    static const SSignature sAppSignature[];
    static const std::size_t CLIENTAPP_COUNT;

    explicit CClientApp(const TW_IDENTITY& application);

    // The client of the open session, or null when none is open.
    static CClientApp* Current();
    // Recognises the application that opens the data source and makes it the current client.
    static void BeginSession(const TW_IDENTITY& application);
    // Forgets the current client (at close).
    static void EndSession();
    // The current client's id; 0 without a session.
    static std::int32_t CurrentId();

    std::int32_t ClientId() const { return mClientId; }
    // The next transfer-ready signal must come from a short timer instead of keeping the state.
    bool RequireNextTransferRequest() const;
    // The host runs without windows of its own, so no alert may be shown.
    bool IsBackgroundOnly() const { return mBackgroundOnly; }
    bool IsDisableDetectPageType() const;

private:
    std::int32_t mClientId = kUnknownClient;
    std::uint8_t mBackgroundOnly = 0;
};
