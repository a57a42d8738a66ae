// The application's side of TWAIN: owns the application's and the data source's identities, remembers
// how far the session got (a state code and four flags) and sends one triplet per method through the
// source manager's DSM_Entry. Calls are synchronous and not thread-safe: the main thread makes them all.
// Results are TWAIN return codes sign-extended, or the negative codes below.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "Value.h"
#include "twain.h"

// Results of the handler's own making.
inline constexpr int kVXNoSourceManager = -1;   // the manager could not be opened / was not open
inline constexpr int kVXNotOneValue = -50;      // a capability answer that is no one-value container
inline constexpr int kVXContainerMemory = -108; // no memory for a container

// The item of a one-value container: one 32-bit word for numbers (16-bit values in its low half), the
// whole record for strings. Big enough for any item, so a source's answer never overruns it.
union VX_CapItem {
    TW_UINT32 word;
    TW_FIX32 fix;
    TW_STR32 str32;
    TW_STR64 str64;
    TW_STR255 str255;
};

// Session state codes: ten times the TWAIN state where there is one.
enum : std::uint32_t {
    kVXStateDSMClosed = 10,
    kVXStateDSMOpen = 30,
    kVXStateDSOpen = 40,
    kVXStateDSEnabled = 50,
    kVXStateDSDisabled = 55,
    kVXStateXferReady = 60,
    kVXStateTransferring = 70,
    kVXStateDSClosed = 80,
};

class VX_TWAINHandler {
public:
    // The four texts are written length-prefixed (the form the data source compares), cut to 32 bytes.
    // entry: the source manager's DSM_Entry; the loaded manager by default.
    VX_TWAINHandler(std::string_view manufacturer, std::string_view productFamily,
                    std::string_view productName, std::string_view versionInfo, DSMENTRYPROC entry = nullptr);
    // Disables, closes the data source and closes the manager as far as they are open.
    virtual ~VX_TWAINHandler();
    VX_TWAINHandler(const VX_TWAINHandler&) = delete;
    VX_TWAINHandler& operator=(const VX_TWAINHandler&) = delete;

    int openDSM();
    int closeDSM();
    // proc receives every message of the data sources this application opens; refCon comes back with it.
    int registerCallback(TWAINCALLBACKPROC proc, TW_UINT32 refCon);
    int getFirst();
    int getNext();
    // Walks the manager's list and opens the first data source that isVXDS_Identity accepts; the walk
    // ends at the first result that is not success (TWRC_ENDOFLIST when none matched).
    int openVXDS(const fnd::Dictionary& info);
    int openDS();
    int closeDS();
    int enableDS(TW_USERINTERFACE& ui);
    int enableDSUIOnly(TW_USERINTERFACE& ui);
    // ui may be null: the data source reads no record for this message.
    int disableDS(TW_USERINTERFACE* ui);
    int setDSCapability(TW_UINT16 cap, TW_UINT16 itemType, const VX_CapItem& value);
    // Reads a capability (msg: MSG_GET, MSG_GETCURRENT...) into value, cleared first; itemType receives
    // the answer's item type. TWRC_INFONOTSUPPORTED when the answer is not a one-value container.
    int getDSCapability(TW_UINT16 msg, TW_UINT16 cap, VX_CapItem& value, TW_UINT16& itemType);
    int passThru(TW_PASSTHRU& pt);
    int getDeviceEvent(TW_DEVICEEVENT& ev);
    int getDSStatus(TW_STATUS& st);
    // The data source's own words for a status it gave (DAT_STATUSUTF8); empty when it has none.
    std::string getDSStatusText(const TW_STATUS& st);
    // The manager's own status: after a failed open it holds the data source's reason.
    int getDSMStatus(TW_STATUS& st);
    // Any triplet to the data source (image info, pending transfers, memory transfers).
    int messageDS(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);

    void setDSState(std::uint32_t code) { mState = code; }
    std::uint32_t getDSState() const { return mState; }
    bool isDSMOpen() const { return mDSMOpen; }
    bool isDSOpen() const { return mDSOpen; }
    bool isDSEnabled() const { return mDSEnabled; }
    bool isEnumerated() const { return mEnumerated; }
    const TW_IDENTITY& appIdentity() const { return mAppIdentity; }
    const TW_IDENTITY& dsIdentity() const { return mDSIdentity; }

    // A new cleared one-value container holding value, in cap (ConType TWON_ONEVALUE); 0, or
    // kVXContainerMemory with no container. The caller releases it with releaseContainer.
    int setupOneValue(TW_CAPABILITY& cap, TW_UINT16 itemType, const VX_CapItem& value);
    // Reads the item of cap's one-value container: strings, frames and other items of 3 bytes or more
    // whole, every other type as the item's 32-bit word; never beyond the container. release: free the
    // container and clear the handle afterwards. kVXNotOneValue for another container or none.
    int getOneValue(TW_CAPABILITY& cap, TW_UINT16& itemType, VX_CapItem& value, bool release);
    void releaseContainer(TW_CAPABILITY& cap);
    static std::size_t getItemSize(TW_UINT16 itemType);

private:
    int call(TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);
    int openDSMIfNeeded();
    int userInterface(TW_UINT16 msg, TW_USERINTERFACE* ui);
    int enumerate(TW_UINT16 msg);
    void takeEntryPoints();

    std::uint32_t mState = kVXStateDSMClosed;
    bool mDSMOpen = false;
    bool mDSOpen = false;
    bool mEnumerated = false;
    bool mDSEnabled = false;
    TW_IDENTITY mAppIdentity{};
    TW_IDENTITY mDSIdentity{};
    TW_CALLBACK mCallback{};
    // The manager's entry and the memory functions for containers: the C heap until a TWAIN 2 manager
    // hands out its own.
    TW_ENTRYPOINT mEntryPoints{};
};
