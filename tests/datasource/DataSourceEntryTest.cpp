// K3100.ds as an application meets it: found and loaded by the source manager and driven through
// DSM_Entry only. Checks the state rules of every triplet, the condition codes, capabilities over real
// containers, the transfer-ready callback, and the scanner lock across processes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "ChildProcess.h"
#include "Containers.h"
#include "LockDir.h"
#include "SocketServer.h"
#include "TripletStates.h"
#include "UsbDiscovery.h"

namespace fs = std::filesystem;
using namespace test;

namespace {

std::vector<TW_UINT16> gCallbacks;

TW_UINT16 RecordingCallback(pTW_IDENTITY, pTW_IDENTITY, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                            TW_MEMREF) {
    if (dg != DG_CONTROL || dat != DAT_NULL)
        return TWRC_FAILURE;
    gCallbacks.push_back(msg);
    return TWRC_SUCCESS;
}

// Identity texts as a standard application on Linux writes them: zero-terminated.
void SetText(TW_STR32& field, const char* text) {
    std::memset(field, 0, sizeof field);
    std::strncpy(field, text, sizeof field - 1);
}

// The emulated scanner served to the loaded data source (and to forked children) over a socket.
class CServedScanner {
public:
    explicit CServedScanner(const fs::path& socket) : mServer(mEmulator, socket.string()) {
        std::string error;
        EXPECT_TRUE(mServer.listen(error)) << error;
        mThread = std::thread([this] { mServer.run(mStop); });
    }
    ~CServedScanner() {
        mStop = true;
        mThread.join();
    }

private:
    k3100::emu::Emulator mEmulator;
    k3100::emu::SocketServer mServer;
    std::atomic<bool> mStop{false};
    std::thread mThread;
};

class DataSourceEntry : public ::testing::Test {
protected:
    // One data-source folder per process: the manager keeps what it loaded. The module is used where it
    // was built, the one data source there, since it finds its libraries relative to itself.
    static void SetUpTestSuite() {
        const char* build = std::getenv("K3100_BUILD_DIR");
        ASSERT_NE(build, nullptr);
        InstallDataSource(fs::path(build) / "lib" / "K3100.ds");
    }
    static void InstallDataSource(const fs::path& module) {
        std::string pattern = (fs::temp_directory_path() / "k3100-ds-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        sFolder = pattern;
        setenv("K3100_TWAIN_DS_DIR", module.parent_path().c_str(), 1);
        sScanner = std::make_unique<CServedScanner>(sFolder / "scanner");
        setenv(k3100::usb::kEmulatorSocketEnv, (sFolder / "scanner").c_str(), 1);
    }
    static void TearDownTestSuite() {
        unsetenv(k3100::usb::kEmulatorSocketEnv);
        sScanner.reset();
        fs::remove_all(sFolder);
    }

    void SetUp() override {
        mApp.ProtocolMajor = TWON_PROTOCOLMAJOR;
        mApp.ProtocolMinor = TWON_PROTOCOLMINOR;
        mApp.SupportedGroups = DG_CONTROL | DG_IMAGE;
        SetText(mApp.ProductName, "Entry Test");
        ASSERT_EQ(DSM_Entry(&mApp, nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, nullptr), TWRC_SUCCESS);
        TW_CALLBACK callback{};
        callback.CallBackProc = reinterpret_cast<TW_MEMREF>(&RecordingCallback);
        ASSERT_EQ(DSM_Entry(&mApp, nullptr, DG_CONTROL, DAT_CALLBACK, MSG_REGISTER_CALLBACK, &callback),
                  TWRC_SUCCESS);
        gCallbacks.clear();
        // The data source stores its settings there; keep the user's own out of the test.
        setenv("XDG_CONFIG_HOME", mDir.Path().c_str(), 1);
    }
    void TearDown() override {
        Close();
        DSM_Entry(&mApp, nullptr, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, nullptr);
    }

    // Opens the scanner's data source by its product name; false with the reason in mStatus.
    bool Open() {
        mSource = TW_IDENTITY{};
        SetText(mSource.ProductName, "Orvik K-3100 TWAIN");
        if (DSM_Entry(&mApp, nullptr, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &mSource) == TWRC_SUCCESS)
            return mIsOpen = true;
        TW_STATUS status{};
        DSM_Entry(&mApp, nullptr, DG_CONTROL, DAT_STATUS, MSG_GET, &status);
        mStatus = status.ConditionCode;
        return false;
    }
    void Close() {
        if (mIsOpen) {
            EXPECT_EQ(DSM_Entry(&mApp, nullptr, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &mSource),
                      TWRC_SUCCESS);
        }
        mIsOpen = false;
    }
    TW_UINT16 Call(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, void* data) {
        return DSM_Entry(&mApp, &mSource, dg, dat, msg, data);
    }
    TW_UINT16 Status() {
        TW_STATUS status{};
        EXPECT_EQ(Call(DG_CONTROL, DAT_STATUS, MSG_GET, &status), TWRC_SUCCESS);
        return status.ConditionCode;
    }
    // Opens afresh and walks the ordinary road to the state; without a dialog, enabled is where a
    // batch ends.
    void GoTo(int state) {
        Close();
        ASSERT_TRUE(Open());
        TW_USERINTERFACE ui{0, 0, nullptr};
        if (state == kEnabled || state == kXferReady) {
            ASSERT_EQ(Call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_SUCCESS);
        }
        TW_PENDINGXFERS pending{};
        if (state == kEnabled) {
            ASSERT_EQ(Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending), TWRC_SUCCESS);
        }
    }
    // Open in a forked child: 'S' opened, 'M' refused for another user, '?' anything else.
    char OpenInChild() {
        if (Open())
            return 'S';
        return mStatus == TWCC_MAXCONNECTIONS ? 'M' : '?';
    }

    static inline fs::path sFolder;
    static inline std::unique_ptr<CServedScanner> sScanner;
    LockDir mDir;
    TW_IDENTITY mApp{};
    TW_IDENTITY mSource{};
    bool mIsOpen = false;
    TW_UINT16 mStatus = TWCC_SUCCESS;
};

TEST_F(DataSourceEntry, EveryTripletOutsideItsStatesFailsOnceWithItsConditionCode) {
    for (int state : {kOpen, kEnabled, kXferReady}) {
        for (const Triplet& triplet : kTriplets) {
            // The manager answers DAT_IDENTITY and DAT_ENTRYPOINT itself.
            if ((triplet.states & (1u << state)) || triplet.dat == DAT_IDENTITY ||
                triplet.dat == DAT_ENTRYPOINT)
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
    for (int state : {kOpen, kEnabled}) {
        GoTo(state);
        EXPECT_EQ(Call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, nullptr), TWRC_FAILURE);
        EXPECT_EQ(Status(), TWCC_BADPROTOCOL);
        TW_UINT32 group = 0;
        EXPECT_EQ(Call(DG_CONTROL, DAT_SETUPFILEXFER2, MSG_GET, &group), TWRC_FAILURE);
        EXPECT_EQ(Status(), TWCC_BADPROTOCOL);
    }
}

TEST_F(DataSourceEntry, WithoutAScannerTheSourceDoesNotOpen) {
    setenv(k3100::usb::kEmulatorSocketEnv, (sFolder / "nobody").c_str(), 1);
    const bool opened = Open();
    setenv(k3100::usb::kEmulatorSocketEnv, (sFolder / "scanner").c_str(), 1);
    EXPECT_FALSE(opened);
    EXPECT_EQ(mStatus, TWCC_NODS);
    EXPECT_TRUE(Open()); // nothing of the failed attempt holds the scanner
}

TEST_F(DataSourceEntry, EnableWithoutDialogCallsBackTransferReady) {
    GoTo(kXferReady);
    ASSERT_EQ(gCallbacks.size(), 1u);
    EXPECT_EQ(gCallbacks[0], MSG_XFERREADY);
    TW_PENDINGXFERS pending{};
    ASSERT_EQ(Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, &pending), TWRC_SUCCESS);
    EXPECT_EQ(static_cast<TW_INT16>(pending.Count),
              -1); // a feeder batch without a transfer count: the paper decides
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
    ASSERT_EQ(Call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap), TWRC_CHECKSTATUS); // the list is not kept

    cap = {ICAP_UNITS, 0, nullptr};
    ASSERT_EQ(Call(DG_CONTROL, DAT_CAPABILITY, MSG_GETCURRENT, &cap), TWRC_SUCCESS);
    const test::OwnedHandle answer(cap.hContainer);
    EXPECT_EQ(cap.ConType, TWON_ONEVALUE);
    EXPECT_EQ(test::Field<TW_UINT32>(answer.get(), offsetof(TW_ONEVALUE, Item)), TWUN_PIXELS);

    cap = {ICAP_YRESOLUTION, 0, nullptr};
    ASSERT_EQ(Call(DG_CONTROL, DAT_CAPABILITY, MSG_GET, &cap), TWRC_SUCCESS);
    const test::OwnedHandle list(cap.hContainer);
    EXPECT_EQ(cap.ConType, TWON_ENUMERATION);
    EXPECT_EQ(test::ItemType(list.get()), TWTY_FIX32);
    EXPECT_EQ(test::Field<TW_FIX32>(list.get(), offsetof(TW_ENUMERATION, ItemList)).Whole, 150);
}

// Refused on purpose: the test build of K3100.ds pauses milliseconds, not 1.5 s, after each refusal.
class DataSourceEntryRefused : public DataSourceEntry {
protected:
    static void SetUpTestSuite() { InstallDataSource(SHORT_LOCK_PAUSE_DS); }
};

TEST_F(DataSourceEntryRefused, CloseReleasesTheScannerForOtherProcesses) {
    // Forked while closed, so the child shares no open session or lock with this process.
    int go[2];
    ASSERT_EQ(pipe(go), 0);
    ChildProcess contender(
        [&] {
            char byte;
            close(go[1]);
            return read(go[0], &byte, 1) == 1 ? OpenInChild() : '?';
        },
        true);
    close(go[0]);
    ASSERT_TRUE(Open());
    ASSERT_EQ(write(go[1], "g", 1), 1);
    close(go[1]);
    EXPECT_EQ(contender.Report(), 'M'); // after three refusals

    Close();
    ChildProcess next([&] { return OpenInChild(); });
    EXPECT_EQ(next.Report(), 'S');
    // The child holds the scanner until it dies; then this process takes over at once.
    EXPECT_FALSE(Open());
    EXPECT_EQ(mStatus, TWCC_MAXCONNECTIONS);
    next.Kill();
    EXPECT_TRUE(Open());
}

// What a TWAIN 2 application meets: containers from the manager's memory or plain malloc, answers freed
// with the manager's functions and asked for again, the support flags, the 32-bit transfer group.
TEST_F(DataSourceEntry, ContainersAreTheApplicationsPlainMemory) {
    GoTo(kOpen);
    TW_ENTRYPOINT points{};
    points.Size = sizeof points;
    ASSERT_EQ(DSM_Entry(&mApp, nullptr, DG_CONTROL, DAT_ENTRYPOINT, MSG_GET, &points), TWRC_SUCCESS);
    const DSM_MEMALLOCATE allocate = points.DSM_MemAllocate;
    const DSM_MEMFREE release = points.DSM_MemFree;

    TW_HANDLE managed = allocate(sizeof(TW_ONEVALUE));
    auto* grey = static_cast<TW_ONEVALUE*>(managed);
    grey->ItemType = TWTY_UINT16;
    grey->Item = TWPT_GRAY;
    TW_CAPABILITY cap{ICAP_PIXELTYPE, TWON_ONEVALUE, managed};
    EXPECT_EQ(Call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap), TWRC_SUCCESS);
    release(managed);
    TW_UINT16 onStack[4] = {TWTY_UINT16, TWPT_RGB};
    cap = {ICAP_PIXELTYPE, TWON_ONEVALUE, onStack};
    EXPECT_EQ(Call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap), TWRC_SUCCESS);

    // Freed the standard way, over and over: no answer may depend on what an allocator remembers.
    for (int i = 0; i < 50; ++i) {
        cap = {ICAP_PIXELTYPE, 0, nullptr};
        ASSERT_EQ(Call(DG_CONTROL, DAT_CAPABILITY, i % 2 ? MSG_GET : MSG_GETCURRENT, &cap), TWRC_SUCCESS)
            << i;
        if (i % 2 == 0) {
            EXPECT_EQ(test::Field<TW_UINT32>(cap.hContainer, offsetof(TW_ONEVALUE, Item)), TWPT_RGB);
        }
        release(cap.hContainer);
    }

    const auto ask = [&](TW_UINT16 id) {
        TW_CAPABILITY query{id, 0, nullptr};
        EXPECT_EQ(Call(DG_CONTROL, DAT_CAPABILITY, MSG_QUERYSUPPORT, &query), TWRC_SUCCESS);
        const test::OwnedHandle answer(query.hContainer);
        EXPECT_EQ(test::ItemType(answer.get()), TWTY_INT32);
        return test::Field<TW_INT32>(answer.get(), offsetof(TW_ONEVALUE, Item));
    };
    const TW_INT32 getters = TWQC_GET | TWQC_GETCURRENT | TWQC_GETDEFAULT;
    EXPECT_EQ(ask(ICAP_PIXELTYPE), getters | TWQC_SET | TWQC_RESET);
    EXPECT_EQ(ask(ICAP_PHYSICALWIDTH), getters);
    EXPECT_EQ(ask(CAP_DEVICEEVENT), getters | TWQC_SET | TWQC_RESET);
    TW_CAPABILITY unknown{0x7777, 0, nullptr};
    EXPECT_EQ(Call(DG_CONTROL, DAT_CAPABILITY, MSG_QUERYSUPPORT, &unknown), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_CAPUNSUPPORTED);

    TW_UINT32 group = 0xFFFFFFFF;
    ASSERT_EQ(Call(DG_CONTROL, DAT_XFERGROUP, MSG_GET, &group), TWRC_SUCCESS);
    EXPECT_EQ(group, DG_IMAGE);
}

// Without a dialog nothing would ever answer an enable that shows one: it fails at once, and the source
// stays open and usable.
// In a host without Qt's widgets the source says beforehand that it cannot show its dialog alone, and
// still lets the application leave the dialog out.
TEST_F(DataSourceEntry, DialogEnablesFailWhileThereIsNoDialogAndTheSourceSaysSo) {
    GoTo(kOpen);
    for (const TW_UINT16 msg : {MSG_GET, MSG_GETCURRENT, MSG_GETDEFAULT})
        for (const TW_UINT16 id : {CAP_ENABLEDSUIONLY, CAP_UICONTROLLABLE}) {
            TW_CAPABILITY cap{id, 0, nullptr};
            ASSERT_EQ(Call(DG_CONTROL, DAT_CAPABILITY, msg, &cap), TWRC_SUCCESS);
            const test::OwnedHandle answer(cap.hContainer);
            EXPECT_EQ(test::Field<TW_UINT16>(answer.get(), offsetof(TW_ONEVALUE, Item)),
                      id == CAP_UICONTROLLABLE ? 1 : 0)
                << id << " " << msg;
        }
    TW_USERINTERFACE ui{1, 1, nullptr};
    EXPECT_EQ(Call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_OPERATIONERROR);
    EXPECT_EQ(Call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDSUIONLY, &ui), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_OPERATIONERROR);
    EXPECT_TRUE(gCallbacks.empty());
    ui.ShowUI = 0;
    EXPECT_EQ(Call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_SUCCESS);
    EXPECT_EQ(gCallbacks, std::vector<TW_UINT16>{MSG_XFERREADY});
}

// What MSG_QUERYSUPPORT does not offer is refused: a capability without TWQC_RESET is not reset.
TEST_F(DataSourceEntry, AResetIsRefusedWhereQuerySupportDoesNotOfferIt) {
    GoTo(kOpen);
    TW_CAPABILITY list{CAP_SUPPORTEDCAPS, 0, nullptr};
    ASSERT_EQ(Call(DG_CONTROL, DAT_CAPABILITY, MSG_GET, &list), TWRC_SUCCESS);
    const test::OwnedHandle caps(list.hContainer);
    const auto count = test::Field<TW_UINT32>(caps.get(), offsetof(TW_ARRAY, NumItems));
    int refused = 0;
    for (TW_UINT32 i = 0; i < count; ++i) {
        const auto id =
            test::Field<TW_UINT16>(caps.get(), offsetof(TW_ARRAY, ItemList) + i * sizeof(TW_UINT16));
        TW_CAPABILITY query{id, 0, nullptr};
        ASSERT_EQ(Call(DG_CONTROL, DAT_CAPABILITY, MSG_QUERYSUPPORT, &query), TWRC_SUCCESS) << id;
        const test::OwnedHandle support(query.hContainer);
        if (test::Field<TW_INT32>(support.get(), offsetof(TW_ONEVALUE, Item)) & TWQC_RESET)
            continue;
        TW_CAPABILITY reset{id, 0, nullptr};
        EXPECT_EQ(Call(DG_CONTROL, DAT_CAPABILITY, MSG_RESET, &reset), TWRC_FAILURE) << id;
        EXPECT_EQ(Status(), TWCC_CAPBADOPERATION) << id;
        ++refused;
    }
    EXPECT_GT(refused, 0);
}

// The manager's record keeps the Id it gave; the texts are zero-terminated, so a client can open the
// source by the product name it listed.
TEST_F(DataSourceEntry, ListedNameOpensTheSourceUnderTheManagersId) {
    TW_IDENTITY listed{};
    ASSERT_EQ(DSM_Entry(&mApp, nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST, &listed), TWRC_SUCCESS);
    EXPECT_STREQ(listed.ProductName, "Orvik K-3100 TWAIN");
    EXPECT_NE(listed.SupportedGroups & DF_DS2, 0u);
    const TW_UINT32 listedId = listed.Id;
    mSource = TW_IDENTITY{};
    std::memcpy(mSource.ProductName, listed.ProductName, sizeof listed.ProductName);
    ASSERT_EQ(DSM_Entry(&mApp, nullptr, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &mSource), TWRC_SUCCESS);
    mIsOpen = true;
    EXPECT_EQ(TW_UINT32{mSource.Id}, listedId);
    EXPECT_STREQ(mSource.Manufacturer, "Orvik Electronics");
}

// CAP_DEVICEEVENT: the application's selection, answered as an array; a reset selects nothing again.
TEST_F(DataSourceEntry, DeviceEventSelectionIsTheApplicationsArray) {
    GoTo(kOpen);
    const auto count = [&](TW_UINT16 msg) {
        TW_CAPABILITY cap{CAP_DEVICEEVENT, 0, nullptr};
        EXPECT_EQ(Call(DG_CONTROL, DAT_CAPABILITY, msg, &cap), TWRC_SUCCESS);
        const test::OwnedHandle answer(cap.hContainer);
        EXPECT_EQ(cap.ConType, TWON_ARRAY);
        return test::Field<TW_UINT32>(answer.get(), offsetof(TW_ARRAY, NumItems));
    };
    EXPECT_EQ(count(MSG_GET), 0u);
    const auto wanted = test::UInt16Array({0x8002, 0x8003, 0x8002});
    TW_CAPABILITY cap{CAP_DEVICEEVENT, TWON_ARRAY, wanted.get()};
    ASSERT_EQ(Call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap), TWRC_SUCCESS);
    EXPECT_EQ(count(MSG_GET), 2u);
    EXPECT_EQ(count(MSG_GETCURRENT), 2u);
    EXPECT_EQ(count(MSG_GETDEFAULT), 0u);
    EXPECT_EQ(count(MSG_RESET), 0u);
    EXPECT_EQ(count(MSG_GET), 0u);
}

} // namespace
