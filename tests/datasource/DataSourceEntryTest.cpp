// K3100.ds as an application meets it: loaded at run time and driven through DS_Entry only, with this
// test standing in for the source manager's callback. Checks the state rules of every triplet, the
// condition codes, capabilities over real containers, and the scanner lock across processes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <initializer_list>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "Containers.h"
#include "LockDir.h"
#include "managerentry.h"

namespace {

enum : int { kClosed = 0, kOpen = 1, kEnabled = 2, kXferReady = 4 };
constexpr unsigned kNever = 0;

struct Triplet {
    TW_UINT32 dg;
    TW_UINT16 dat;
    TW_UINT16 msg;
    unsigned states; // bit n: allowed in state n
    const char* name;
};

constexpr unsigned Bits(std::initializer_list<int> states) {
    unsigned bits = 0;
    for (int state : states)
        bits |= 1u << state;
    return bits;
}

// The triplets a data source answers and where each is allowed; DAT_DEVICEEVENT and DAT_PASSTHRU belong
// to the scanner, which does not take them yet.
const Triplet kTriplets[] = {
    {DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, Bits({kClosed}), "OPENDS"},
    {DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, Bits({kOpen}), "ENABLEDS"},
    {DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDSUIONLY, Bits({kOpen}), "ENABLEDSUIONLY"},
    {DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, Bits({kEnabled}), "DISABLEDS"},
    {DG_CONTROL, DAT_CAPABILITY, MSG_GET, Bits({kOpen, kEnabled, kXferReady}), "CAP GET"},
    {DG_CONTROL, DAT_CAPABILITY, MSG_GETCURRENT, Bits({kOpen, kEnabled, kXferReady}), "CAP GETCURRENT"},
    {DG_CONTROL, DAT_CAPABILITY, MSG_GETDEFAULT, Bits({kOpen, kEnabled, kXferReady}), "CAP GETDEFAULT"},
    {DG_CONTROL, DAT_CAPABILITY, MSG_RESET, Bits({kOpen}), "CAP RESET"},
    {DG_CONTROL, DAT_CAPABILITY, MSG_SET, Bits({kOpen}), "CAP SET"},
    {DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, Bits({kXferReady}), "ENDXFER"},
    {DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, Bits({kOpen, kEnabled, kXferReady}), "PENDINGXFERS GET"},
    {DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, Bits({kXferReady}), "PENDINGXFERS RESET"},
    {DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, Bits({kOpen, kEnabled, kXferReady}), "SETUPMEMXFER"},
    {DG_CONTROL, DAT_XFERGROUP, MSG_GET, Bits({kOpen, kEnabled, kXferReady}), "XFERGROUP"},
    {DG_CONTROL, DAT_DEVICEEVENT, MSG_GET, kNever, "DEVICEEVENT"},
    {DG_CONTROL, DAT_PASSTHRU, MSG_PASSTHRU, kNever, "PASSTHRU"},
    {DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, Bits({kOpen, kEnabled, kXferReady}), "IMAGELAYOUT GET"},
    {DG_IMAGE, DAT_IMAGELAYOUT, MSG_GETDEFAULT, Bits({kOpen, kEnabled, kXferReady}),
     "IMAGELAYOUT GETDEFAULT"},
    {DG_IMAGE, DAT_IMAGELAYOUT, MSG_RESET, Bits({kOpen, kEnabled, kXferReady}), "IMAGELAYOUT RESET"},
    {DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, Bits({kOpen, kEnabled, kXferReady}), "IMAGELAYOUT SET"},
    {DG_IMAGE, DAT_IMAGEINFO, MSG_GET, Bits({kXferReady}), "IMAGEINFO"},
    {DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, Bits({kXferReady}), "IMAGEMEMXFER"},
    {DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, Bits({kXferReady}), "IMAGENATIVEXFER"},
    {DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, Bits({kXferReady}), "IMAGEFILEXFER"},
};

std::vector<TW_UINT16> gCallbacks;

// Stands in for the source manager when the data source signals the application.
TW_UINT16 FakeManager(pTW_IDENTITY, pTW_IDENTITY, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                      TW_MEMREF data) {
    if (dg != DG_CONTROL || dat != DAT_CALLBACK || msg != MSG_INVOKE_CALLBACK || !data)
        return TWRC_FAILURE;
    gCallbacks.push_back(static_cast<TW_UINT16>(static_cast<TW_CALLBACK*>(data)->Message));
    return TWRC_SUCCESS;
}

class DataSourceEntry : public ::testing::Test {
protected:
    void SetUp() override {
        const char* build = std::getenv("K3100_BUILD_DIR");
        ASSERT_NE(build, nullptr);
        mModule = dlopen((std::string(build) + "/lib/K3100.ds").c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(mModule, nullptr) << dlerror();
        mEntry = reinterpret_cast<DSENTRYPROC>(dlsym(mModule, "DS_Entry"));
        ASSERT_NE(mEntry, nullptr);
        twain::setManagerEntry(FakeManager);
        gCallbacks.clear();
        // The data source stores its settings there; keep the user's own out of the test.
        setenv("XDG_CONFIG_HOME", mDir.Path().c_str(), 1);
    }
    void TearDown() override {
        if (mEntry)
            Call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, nullptr);
        twain::setManagerEntry(nullptr);
        if (mModule)
            dlclose(mModule);
    }

    TW_UINT16 Call(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, void* data) {
        return mEntry(&mApp, dg, dat, msg, data);
    }
    TW_UINT16 Status() {
        TW_STATUS status{};
        EXPECT_EQ(Call(DG_CONTROL, DAT_STATUS, MSG_GET, &status), TWRC_SUCCESS);
        return status.ConditionCode;
    }
    // Closes, then walks the ordinary road to the state.
    void GoTo(int state) {
        ASSERT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, nullptr), TWRC_SUCCESS);
        if (state == kClosed)
            return;
        ASSERT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, nullptr), TWRC_SUCCESS);
        TW_USERINTERFACE ui{0, 0, nullptr};
        if (state == kEnabled) {
            ASSERT_EQ(Call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDSUIONLY, &ui), TWRC_SUCCESS);
        } else if (state == kXferReady) {
            ASSERT_EQ(Call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_SUCCESS);
        }
    }
    // Open in a forked child: 'S' opened, 'M' refused for another user, '?' anything else.
    static char OpenInChild(DSENTRYPROC entry) {
        TW_IDENTITY app{};
        if (entry(&app, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, nullptr) == TWRC_SUCCESS)
            return 'S';
        TW_STATUS status{};
        entry(&app, DG_CONTROL, DAT_STATUS, MSG_GET, &status);
        return status.ConditionCode == TWCC_MAXCONNECTIONS ? 'M' : '?';
    }

    test::LockDir mDir;
    void* mModule = nullptr;
    DSENTRYPROC mEntry = nullptr;
    TW_IDENTITY mApp{};
};

TEST_F(DataSourceEntry, EveryTripletOutsideItsStatesFailsOnceWithItsConditionCode) {
    for (int state : {kClosed, kOpen, kEnabled, kXferReady}) {
        for (const Triplet& triplet : kTriplets) {
            if (triplet.states & (1u << state))
                continue;
            GoTo(state);
            // Any record the triplet could read fits in this zeroed buffer; a capability record names one.
            std::vector<std::uint8_t> record(512, 0);
            const TW_UINT16 pixelType = ICAP_PIXELTYPE;
            std::memcpy(record.data(), &pixelType, sizeof pixelType);
            SCOPED_TRACE(std::string(triplet.name) + " in state " + std::to_string(state));
            EXPECT_EQ(Call(triplet.dg, triplet.dat, triplet.msg, record.data()), TWRC_FAILURE);
            EXPECT_EQ(Status(), triplet.states == kNever ? TWCC_BADPROTOCOL : TWCC_SEQERROR);
            EXPECT_EQ(Status(), TWCC_SUCCESS);
        }
    }
}

TEST_F(DataSourceEntry, UnknownTripletsAreBadProtocolInEveryState) {
    for (int state : {kClosed, kOpen}) {
        GoTo(state);
        TW_CAPABILITY cap{ICAP_PIXELTYPE, 0, nullptr};
        EXPECT_EQ(Call(DG_CONTROL, DAT_CAPABILITY, MSG_QUERYSUPPORT, &cap), TWRC_FAILURE);
        EXPECT_EQ(Status(), TWCC_BADPROTOCOL);
        EXPECT_EQ(Call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, nullptr), TWRC_FAILURE);
        EXPECT_EQ(Status(), TWCC_BADPROTOCOL);
        EXPECT_EQ(Call(DG_CONTROL, DAT_CALLBACK, MSG_REGISTER_CALLBACK, nullptr), TWRC_FAILURE);
        EXPECT_EQ(Status(), TWCC_BADPROTOCOL);
        EXPECT_EQ(Call(DG_AUDIO, DAT_IDENTITY, MSG_GET, nullptr), TWRC_FAILURE);
        EXPECT_EQ(Status(), TWCC_BADPROTOCOL);
    }
}

TEST_F(DataSourceEntry, EnableWithoutDialogCallsBackTransferReady) {
    GoTo(kXferReady);
    ASSERT_EQ(gCallbacks.size(), 1u);
    EXPECT_EQ(gCallbacks[0], MSG_XFERREADY);
    TW_PENDINGXFERS pending{};
    ASSERT_EQ(Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, &pending), TWRC_SUCCESS);
    EXPECT_EQ(TW_UINT16{pending.Count}, 1);
}

TEST_F(DataSourceEntry, CapabilitiesTravelInRealContainers) {
    GoTo(kOpen);
    const auto resolution = test::OneValue(TWTY_FIX32, TW_FIX32{250, 0});
    TW_CAPABILITY cap{ICAP_XRESOLUTION, TWON_ONEVALUE, resolution.get()};
    EXPECT_EQ(Call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap), TWRC_FAILURE); // 250 is not listed
    EXPECT_EQ(Status(), TWCC_BADVALUE);

    const TW_UINT16 units[] = {TWUN_INCHES, TWUN_PIXELS};
    const auto broken = test::Enumeration(TWTY_UINT16, 2, units, 0x40000000, 0x3FFFFFFF, 2);
    cap = {ICAP_UNITS, TWON_ENUMERATION, broken.get()};
    EXPECT_EQ(Call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_BADVALUE);
    const auto pixels = test::Enumeration(TWTY_UINT16, 2, units, 2, 1, 2);
    cap = {ICAP_UNITS, TWON_ENUMERATION, pixels.get()};
    ASSERT_EQ(Call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap), TWRC_SUCCESS);

    cap = {ICAP_UNITS, 0, nullptr};
    ASSERT_EQ(Call(DG_CONTROL, DAT_CAPABILITY, MSG_GETCURRENT, &cap), TWRC_SUCCESS);
    const twain::OwnedHandle answer(cap.hContainer);
    EXPECT_EQ(cap.ConType, TWON_ONEVALUE);
    EXPECT_EQ(test::Field<TW_UINT32>(answer.get(), offsetof(TW_ONEVALUE, Item)), TWUN_PIXELS);

    cap = {ICAP_YRESOLUTION, 0, nullptr};
    ASSERT_EQ(Call(DG_CONTROL, DAT_CAPABILITY, MSG_GET, &cap), TWRC_SUCCESS);
    const twain::OwnedHandle list(cap.hContainer);
    EXPECT_EQ(cap.ConType, TWON_ENUMERATION);
    EXPECT_EQ(test::ItemType(list.get()), TWTY_FIX32);
    EXPECT_EQ(test::Field<TW_FIX32>(list.get(), offsetof(TW_ENUMERATION, ItemList)).Whole, 150);
}

TEST_F(DataSourceEntry, CloseReleasesTheScannerForOtherProcesses) {
    // Forked while closed, so the child shares no open session or lock with this process.
    int go[2];
    ASSERT_EQ(pipe(go), 0);
    const DSENTRYPROC entry = mEntry;
    test::ChildProcess contender(
        [&] {
            char byte;
            close(go[1]);
            return read(go[0], &byte, 1) == 1 ? OpenInChild(entry) : '?';
        },
        true);
    close(go[0]);
    GoTo(kOpen);
    ASSERT_EQ(write(go[1], "g", 1), 1);
    close(go[1]);
    EXPECT_EQ(contender.Report(), 'M'); // after three refusals 1.5 s apart

    GoTo(kClosed);
    test::ChildProcess next([&] { return OpenInChild(entry); });
    EXPECT_EQ(next.Report(), 'S');
    // The child holds the scanner until it dies; then this process takes over at once.
    EXPECT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, nullptr), TWRC_FAILURE);
    next.Kill();
    EXPECT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, nullptr), TWRC_SUCCESS);
}

} // namespace
