// CDataSource through its dispatcher: states, condition codes, the capability triplets and the
// generic handlers, with a minimal scanner subclass.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

#include "CapIds.h"
#include "ChildProcess.h"
#include "Containers.h"
#include "EmbeddingHost.h"
#include "ExclusiveLock.h"
#include "FixedPoint.h"
#include "LockDir.h"
#include "NotificationCenter.h"
#include "TestScanner.h"
#include "TripletStates.h"
#include "TripletTest.h"

namespace {

class DataSource : public test::TripletTest {
protected:
    CDataSource& Source() override { return mDS; }
    void Open() { ASSERT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, nullptr), TWRC_SUCCESS); }
    TW_UINT16 Enable(bool showUI) {
        TW_USERINTERFACE ui{static_cast<TW_BOOL>(showUI), 0, nullptr};
        return Call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui);
    }
    std::int32_t Int(TW_UINT16 id) { return GetCapSIntValue(mDS.GetCapPool(), id); }

    test::LockDir mDir;
    test::CTestScanner mDS;
};

TEST_F(DataSource, ConditionCodeIsReportedOnceAndClearedBySuccess) {
    EXPECT_EQ(Call(DG_CONTROL, DAT_FILESYSTEM, MSG_GETFIRSTFILE, nullptr), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_BADPROTOCOL);
    EXPECT_EQ(Status(), TWCC_SUCCESS);

    EXPECT_EQ(Call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, nullptr), TWRC_FAILURE);
    TW_IDENTITY identity{};
    EXPECT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_GET, &identity), TWRC_SUCCESS);
    EXPECT_EQ(Status(), TWCC_SUCCESS);
}

TEST_F(DataSource, ClosedSourceAnswersOnlyIdentityStatusAndOpen) {
    for (const test::Triplet& triplet : test::kTriplets) {
        if (triplet.states & (1u << test::kClosed))
            continue;
        std::vector<std::uint8_t> record(512, 0);
        SCOPED_TRACE(triplet.name);
        EXPECT_EQ(Call(triplet.dg, triplet.dat, triplet.msg, record.data()), TWRC_FAILURE);
        EXPECT_EQ(Status(), triplet.states == test::kNever ? TWCC_BADPROTOCOL : TWCC_SEQERROR);
    }
    EXPECT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, nullptr), TWRC_SUCCESS);
}

// On Linux identity texts are zero-terminated, and the Id in the manager's record stays the manager's.
TEST_F(DataSource, IdentityIsTwain2AndOpenKeepsTheManagersId) {
    TW_IDENTITY identity{};
    identity.Id = 77;
    ASSERT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_GET, &identity), TWRC_SUCCESS);
    EXPECT_STREQ(identity.ProductName, "Orvik K-3100 TWAIN");
    EXPECT_STREQ(identity.Manufacturer, "Orvik Electronics");
    EXPECT_STREQ(identity.ProductFamily, "Orvik K-3100 Driver");
    EXPECT_STREQ(identity.Version.Info, "1.0");
    EXPECT_EQ(TW_UINT32{identity.SupportedGroups}, DG_CONTROL | DG_IMAGE | DF_DS2);
    EXPECT_EQ(TW_UINT16{identity.ProtocolMajor}, 2);
    TW_IDENTITY opened{};
    opened.Id = 91; // the manager's number for this data source now
    ASSERT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &opened), TWRC_SUCCESS);
    EXPECT_EQ(TW_UINT32{opened.Id}, 91u);
    EXPECT_STREQ(opened.ProductName, "Orvik K-3100 TWAIN");
    EXPECT_EQ(TW_UINT32{mDS.GetOwnIdentity().Id}, 91u) << "messages to the application carry it";
}

// A second open of the open source, as the public source manager makes it: it asks the identity without
// an origin, hands its entry points again and asks for the open, and unloads the source on any refusal.
// Only the open is refused (an operation error), and the first session goes on under its own Id.
TEST_F(DataSource, ASecondOpenIsRefusedAndTheFirstSessionGoesOn) {
    TW_IDENTITY first{};
    first.Id = 3;
    ASSERT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &first), TWRC_SUCCESS);
    TW_IDENTITY otherApp{};
    otherApp.Id = 2;
    TW_IDENTITY record{};
    record.Id = 9;
    EXPECT_EQ(mDS.Dispatch(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GET, &record), TWRC_SUCCESS);
    EXPECT_EQ(TW_UINT32{record.Id}, 9u) << "the record stays the manager's";
    TW_ENTRYPOINT points = test::StandInManager::EntryPoints();
    EXPECT_EQ(mDS.Dispatch(&otherApp, DG_CONTROL, DAT_ENTRYPOINT, MSG_SET, &points), TWRC_SUCCESS)
        << "a refusal here makes the manager unload the source under the first session";
    EXPECT_EQ(mDS.Dispatch(&otherApp, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &record), TWRC_FAILURE);
    TW_STATUS status{};
    ASSERT_EQ(mDS.Dispatch(&otherApp, DG_CONTROL, DAT_STATUS, MSG_GET, &status), TWRC_SUCCESS);
    EXPECT_EQ(TW_UINT16{status.ConditionCode}, TWCC_OPERATIONERROR);

    EXPECT_EQ(mDS.GetState(), CDataSource::kOpen);
    EXPECT_EQ(TW_UINT32{mDS.GetOwnIdentity().Id}, 3u) << "messages still reach the first application";
    EXPECT_NE(mDS.GetCapPool(), nullptr);
    EXPECT_EQ(Enable(false), TWRC_SUCCESS);
    EXPECT_EQ(mDS.callbacks, std::vector<TW_INT16>{MSG_XFERREADY});
    EXPECT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, nullptr), TWRC_SUCCESS);
    EXPECT_EQ(mDS.GetState(), CDataSource::kClosed);
}

// The same sequence from the application whose session is open. The public source manager forgets the data
// source on a refusal, so that session's close would never arrive and the scanner stay locked: the open is
// answered with the session as it stands, and the one close ends it all.
TEST_F(DataSource, ASecondOpenFromTheSessionsApplicationKeepsTheSessionClosable) {
    mApp.Id = 2;
    std::strcpy(mApp.ProductName, "Host");
    TW_IDENTITY source{};
    source.Id = 3;
    ASSERT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &source), TWRC_SUCCESS);
    ASSERT_EQ(Enable(false), TWRC_SUCCESS);
    TW_IDENTITY record{};
    record.Id = 3;
    EXPECT_EQ(mDS.Dispatch(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GET, &record), TWRC_SUCCESS);
    TW_ENTRYPOINT points = test::StandInManager::EntryPoints();
    EXPECT_EQ(mDS.Dispatch(&mApp, DG_CONTROL, DAT_ENTRYPOINT, MSG_SET, &points), TWRC_SUCCESS);
    EXPECT_EQ(mDS.Dispatch(&mApp, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &record), TWRC_SUCCESS);
    EXPECT_EQ(TW_UINT32{record.Id}, 3u);
    EXPECT_STREQ(record.ProductName, "Orvik K-3100 TWAIN");
    EXPECT_EQ(mDS.GetState(), CDataSource::kXferReady) << "the session goes on as it was";
    EXPECT_EQ(mDS.callbacks, std::vector<TW_INT16>{MSG_XFERREADY});

    ASSERT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source), TWRC_SUCCESS);
    EXPECT_EQ(mDS.GetState(), CDataSource::kClosed);
    EXPECT_EQ(mDS.terminateCount, 1);
    auto lock = CExclusiveLockObject::CreateExclusiveLockObject(CDataSource::kLockName);
    ASSERT_NE(lock, nullptr);
    EXPECT_TRUE(lock->LockObject());
}

// Without the manager's entry points no message could reach the application: the open is refused at
// once, also after a close (which forgets them), unless the maker's application embeds the source.
TEST_F(DataSource, OpenWithoutTheManagersEntryPointsIsRefusedAtOnce) {
    mGiveEntryPoints = false;
    testing::internal::CaptureStderr();
    EXPECT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, nullptr), TWRC_FAILURE);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("DAT_ENTRYPOINT"), std::string::npos);
    EXPECT_EQ(Status(), TWCC_OPERATIONERROR);
    EXPECT_EQ(mDS.GetState(), CDataSource::kClosed);

    mGiveEntryPoints = true;
    Open();
    ASSERT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, nullptr), TWRC_SUCCESS);
    mGiveEntryPoints = false;
    testing::internal::CaptureStderr();
    EXPECT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, nullptr), TWRC_FAILURE);
    testing::internal::GetCapturedStderr();

    fnd::registerEmbeddingHost("com.orvikElectronics.tollivar");
    const TW_UINT16 embedded = Call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, nullptr);
    fnd::unregisterEmbeddingHost();
    EXPECT_EQ(embedded, TWRC_SUCCESS);
}

// A host may drop an open source without closing it and load it again: the new one starts afresh.
TEST_F(DataSource, ASourceDroppedOpenLeavesNoEntryPointsBehind) {
    {
        test::CTestScanner dropped;
        TW_ENTRYPOINT points = test::StandInManager::EntryPoints();
        ASSERT_EQ(dropped.Dispatch(&mApp, DG_CONTROL, DAT_ENTRYPOINT, MSG_SET, &points), TWRC_SUCCESS);
        ASSERT_EQ(dropped.Dispatch(&mApp, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, nullptr), TWRC_SUCCESS);
    }
    mGiveEntryPoints = false;
    testing::internal::CaptureStderr();
    EXPECT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, nullptr), TWRC_FAILURE);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(Status(), TWCC_OPERATIONERROR);
}

TEST_F(DataSource, EnableWithoutDialogSignalsTransferReady) {
    Open();
    EXPECT_EQ(Enable(false), TWRC_SUCCESS);
    EXPECT_EQ(mDS.GetState(), CDataSource::kXferReady);
    ASSERT_EQ(mDS.callbacks.size(), 1u);
    EXPECT_EQ(mDS.callbacks[0], MSG_XFERREADY);
    TW_PENDINGXFERS pending{};
    ASSERT_EQ(Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, &pending), TWRC_SUCCESS);
    EXPECT_EQ(TW_UINT16{pending.Count}, 1);
    EXPECT_EQ(Call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, nullptr), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_SEQERROR);
    ASSERT_EQ(Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending), TWRC_SUCCESS);
    EXPECT_EQ(mDS.GetState(), CDataSource::kEnabled);
    EXPECT_EQ(Call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, nullptr), TWRC_SUCCESS);
    EXPECT_EQ(mDS.GetState(), CDataSource::kOpen);
}

TEST_F(DataSource, FailedTransferReadySignalLeavesTheSourceOpen) {
    Open();
    mDS.callbackResult = TWRC_FAILURE;
    EXPECT_EQ(Enable(false), TWRC_FAILURE);
    EXPECT_EQ(mDS.GetState(), CDataSource::kOpen);
    TW_PENDINGXFERS pending{};
    ASSERT_EQ(Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, &pending), TWRC_SUCCESS);
    EXPECT_EQ(TW_UINT16{pending.Count}, 0);
}

// Remembers what the data source handed the dialog.
struct SeenDialog : CNullUIController {
    inline static void* pool = nullptr;
    inline static int flag = -1;
    void setupMainUIWithParam(const fnd::Dictionary& params, int setupFlag) override {
        pool = params.get(kUIParamCapabilityPool).asPointer();
        flag = setupFlag;
    }
};

TEST_F(DataSource, DialogEnablesNeedAControllerFactory) {
    const UIControllerFactory saved = GetUIControllerFactory();
    SetUIControllerFactory([] { return std::make_unique<SeenDialog>(); });
    Open();
    ASSERT_EQ(Enable(true), TWRC_SUCCESS);
    EXPECT_EQ(mDS.GetState(), CDataSource::kEnabled);
    EXPECT_EQ(SeenDialog::pool, mDS.GetCapPool());
    EXPECT_EQ(SeenDialog::flag, 1);
    ASSERT_EQ(Call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, nullptr), TWRC_SUCCESS);
    ASSERT_EQ(Call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDSUIONLY, nullptr), TWRC_SUCCESS);
    EXPECT_EQ(SeenDialog::flag, 0);
    ASSERT_EQ(Call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, nullptr), TWRC_SUCCESS);

    SetUIControllerFactory(nullptr);
    EXPECT_EQ(Enable(true), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_OPERATIONERROR);
    EXPECT_EQ(Call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDSUIONLY, nullptr), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_OPERATIONERROR);
    // A dialog that could not be built (its interface file missing) is an operation error.
    SetUIControllerFactory([] { return nullptr; });
    EXPECT_EQ(Enable(true), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_OPERATIONERROR);
    SetUIControllerFactory(saved);
    EXPECT_EQ(mDS.GetState(), CDataSource::kOpen);
}

TEST_F(DataSource, CloseWhileTransferReadyReleasesEverything) {
    Open();
    ASSERT_EQ(Enable(false), TWRC_SUCCESS);
    ASSERT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, nullptr), TWRC_SUCCESS);
    EXPECT_EQ(mDS.GetState(), CDataSource::kClosed);
    EXPECT_EQ(mDS.GetCapPool(), nullptr);
    EXPECT_EQ(mDS.terminateCount, 1);
    auto lock = CExclusiveLockObject::CreateExclusiveLockObject(CDataSource::kLockName);
    ASSERT_NE(lock, nullptr);
    EXPECT_TRUE(lock->LockObject());
}

TEST_F(DataSource, OpenWithoutScannerFailsAndKeepsNoLock) {
    mDS.setupScannerResult = false;
    EXPECT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, nullptr), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_NODS);
    EXPECT_EQ(mDS.GetState(), CDataSource::kClosed);
    auto lock = CExclusiveLockObject::CreateExclusiveLockObject(CDataSource::kLockName);
    EXPECT_TRUE(lock && lock->LockObject());
}

TEST_F(DataSource, OpenGivesUpWhileAnotherProcessHoldsTheScanner) {
    test::ChildProcess holder([] {
        static auto lock = CExclusiveLockObject::CreateExclusiveLockObject(CDataSource::kLockName);
        return lock && lock->LockObject() ? 'L' : 'F';
    });
    ASSERT_EQ(holder.Report(), 'L');
    mDS.SetLockRetryDelay(std::chrono::milliseconds(10));
    testing::internal::CaptureStderr();
    EXPECT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, nullptr), TWRC_FAILURE);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Status(), TWCC_MAXCONNECTIONS);
    EXPECT_NE(said.find("in use by another program"), std::string::npos) << said;
    EXPECT_NE(said.find(CExclusiveLockObject::LockPath(CDataSource::kLockName)), std::string::npos) << said;
    EXPECT_EQ(mDS.GetState(), CDataSource::kClosed);
    holder.Kill();
    Open();
}

// Neither the shared lock nor a lock of the user's own can be had: that keeps the scanner away, and is
// said so, naming both, as a file the source is denied rather than a scanner in use.
TEST_F(DataSource, OpenWithoutAnyUsableLockSaysSo) {
    const std::string path = CExclusiveLockObject::LockPath(CDataSource::kLockName);
    ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
    const std::string runtime = mDir.Path() + "/runtime-open-to-others";
    ASSERT_EQ(mkdir(runtime.c_str(), 0755), 0);
    const char* before = std::getenv("XDG_RUNTIME_DIR");
    const std::string kept = before ? before : "";
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, nullptr), TWRC_FAILURE);
    const std::string said = testing::internal::GetCapturedStderr();
    before ? setenv("XDG_RUNTIME_DIR", kept.c_str(), 1) : unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(Status(), TWCC_DENIED);
    EXPECT_NE(said.find("scanner lock " + path + " is not a plain file"), std::string::npos) << said;
    EXPECT_NE(said.find(runtime), std::string::npos) << said;
    EXPECT_EQ(mDS.GetState(), CDataSource::kClosed);
    ASSERT_EQ(rmdir(path.c_str()), 0);
    Open();
}

TEST_F(DataSource, GettersAnswerTheWholeListOrOneValue) {
    Open();
    ASSERT_EQ(Cap(MSG_GET, ICAP_PIXELTYPE), TWRC_SUCCESS);
    EXPECT_EQ(mAnswerType, TWON_ENUMERATION);
    EXPECT_EQ(AnswerField<TW_UINT32>(offsetof(TW_ENUMERATION, NumItems)), 3u);
    ASSERT_EQ(SetOne(ICAP_PIXELTYPE, TWTY_UINT16, TW_UINT16{TWPT_RGB}), TWRC_SUCCESS);
    ASSERT_EQ(Cap(MSG_GETCURRENT, ICAP_PIXELTYPE), TWRC_SUCCESS);
    EXPECT_EQ(mAnswerType, TWON_ONEVALUE);
    EXPECT_EQ(AnswerField<TW_UINT32>(), TWPT_RGB);
    ASSERT_EQ(Cap(MSG_GETDEFAULT, ICAP_PIXELTYPE), TWRC_SUCCESS);
    EXPECT_EQ(AnswerField<TW_UINT32>(), TWPT_BW);
    ASSERT_EQ(Cap(MSG_GET, ICAP_XRESOLUTION), TWRC_SUCCESS);
    EXPECT_EQ(test::ItemType(mAnswer.get()), TWTY_FIX32);

    ASSERT_EQ(Cap(MSG_RESET, ICAP_PIXELTYPE), TWRC_SUCCESS);
    EXPECT_EQ(AnswerField<TW_UINT32>(), TWPT_BW);
    EXPECT_EQ(GetCapUIntValue(mDS.GetCapPool(), ICAP_PIXELTYPE), TWPT_BW);
}

// The list of capabilities is its own current and default value; a set that would narrow a capability to
// a list or a range applies the value it names and says the narrowing was not kept; a reset of all puts
// every value back; the file transfer writes the format the capability names.
TEST_F(DataSource, NegotiationAsTwain2ApplicationsExpectIt) {
    Open();
    ASSERT_EQ(Cap(MSG_GET, CAP_SUPPORTEDCAPS), TWRC_SUCCESS);
    const auto count = AnswerField<TW_UINT32>(offsetof(TW_ARRAY, NumItems));
    EXPECT_GT(count, 10u);
    for (const TW_UINT16 msg : {MSG_GETCURRENT, MSG_GETDEFAULT}) {
        ASSERT_EQ(Cap(msg, CAP_SUPPORTEDCAPS), TWRC_SUCCESS);
        EXPECT_EQ(mAnswerType, TWON_ARRAY);
        EXPECT_EQ(AnswerField<TW_UINT32>(offsetof(TW_ARRAY, NumItems)), count);
        EXPECT_EQ(AnswerField<TW_UINT16>(offsetof(TW_ARRAY, ItemList)), CAP_XFERCOUNT);
    }

    const TW_UINT16 narrowed[] = {TWPT_BW, TWPT_GRAY};
    const auto pixelTypes = test::Enumeration(TWTY_UINT16, 2, narrowed, 2, 1, 2);
    EXPECT_EQ(Cap(MSG_SET, ICAP_PIXELTYPE, TWON_ENUMERATION, pixelTypes.get()), TWRC_CHECKSTATUS);
    EXPECT_EQ(Int(ICAP_PIXELTYPE), TWPT_GRAY);
    ASSERT_EQ(Cap(MSG_GET, ICAP_PIXELTYPE), TWRC_SUCCESS);
    EXPECT_EQ(AnswerField<TW_UINT32>(offsetof(TW_ENUMERATION, NumItems)), 3u) << "the list is unchanged";
    const auto range = test::NewHandle(sizeof(TW_RANGE));
    auto* bounds = static_cast<TW_RANGE*>(range.get());
    bounds->ItemType = TWTY_INT16;
    bounds->MinValue = 1;
    bounds->MaxValue = 5;
    bounds->CurrentValue = 3;
    EXPECT_EQ(Cap(MSG_SET, CAP_XFERCOUNT, TWON_RANGE, range.get()), TWRC_CHECKSTATUS);
    EXPECT_EQ(Int(CAP_XFERCOUNT), 3);
    EXPECT_EQ(Status(), TWCC_SUCCESS);
    const TW_UINT16 unknown[] = {0x77};
    const auto badPixelType = test::Enumeration(TWTY_UINT16, 2, unknown, 1, 0, 1);
    EXPECT_EQ(Cap(MSG_SET, ICAP_PIXELTYPE, TWON_ENUMERATION, badPixelType.get()), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_BADVALUE);

    ASSERT_EQ(SetOne(ICAP_IMAGEFILEFORMAT, TWTY_UINT16, TW_UINT16{TWFF_JFIF}), TWRC_SUCCESS);
    TW_SETUPFILEXFER file{};
    ASSERT_EQ(Call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, &file), TWRC_SUCCESS);
    EXPECT_EQ(TW_UINT16{file.Format}, TWFF_JFIF);
    EXPECT_EQ(SetOne(ICAP_IMAGEFILEFORMAT, TWTY_UINT16, TW_UINT16{TWFF_PNG}), TWRC_FAILURE)
        << "not a format the file transfer writes";

    ASSERT_EQ(Call(DG_CONTROL, DAT_CAPABILITY, MSG_RESETALL, nullptr), TWRC_SUCCESS);
    EXPECT_EQ(Int(ICAP_PIXELTYPE), TWPT_BW);
    EXPECT_EQ(Int(CAP_XFERCOUNT), -1);
    EXPECT_EQ(Int(ICAP_IMAGEFILEFORMAT), TWFF_TIFF);
    EXPECT_EQ(Int(ICAP_BITDEPTH), 1) << "the bit depth follows the pixel type back";
    EXPECT_EQ(mDS.GetState(), CDataSource::kOpen);
}

TEST_F(DataSource, CapabilityFailuresCarryTheirConditionCodes) {
    EXPECT_EQ(Cap(MSG_GET, ICAP_PIXELTYPE), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_SEQERROR);
    Open();
    EXPECT_EQ(Cap(MSG_GET, 0x9876), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_CAPUNSUPPORTED);
    EXPECT_EQ(SetOne(ICAP_PHYSICALWIDTH, TWTY_FIX32, FloatToFix32(1)), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_CAPBADOPERATION);
    EXPECT_EQ(Cap(MSG_SET, ICAP_UNITS, TWON_ONEVALUE, nullptr), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_BADVALUE);
    EXPECT_EQ(Call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, nullptr), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_BADVALUE);
    SetUIControllerFactory([] { return std::make_unique<CNullUIController>(); });
    ASSERT_EQ(Call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDSUIONLY, nullptr), TWRC_SUCCESS);
    SetUIControllerFactory(nullptr);
    EXPECT_EQ(Cap(MSG_RESET, ICAP_PIXELTYPE), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_SEQERROR);
    EXPECT_EQ(Cap(MSG_GETCURRENT, ICAP_PIXELTYPE), TWRC_SUCCESS);
}

TEST_F(DataSource, PixelTypeAndBitDepthFollowEachOther) {
    Open();
    ASSERT_EQ(SetOne(ICAP_PIXELTYPE, TWTY_UINT16, TW_UINT16{TWPT_GRAY}), TWRC_SUCCESS);
    EXPECT_EQ(Int(ICAP_BITDEPTH), 8);
    ASSERT_EQ(SetOne(ICAP_PIXELTYPE, TWTY_UINT16, TW_UINT16{TWPT_BW}), TWRC_SUCCESS);
    EXPECT_EQ(Int(ICAP_BITDEPTH), 1);
    ASSERT_EQ(SetOne(ICAP_BITDEPTH, TWTY_UINT16, TW_UINT16{8}), TWRC_SUCCESS);
    EXPECT_EQ(Int(ICAP_PIXELTYPE), TWPT_GRAY);
    EXPECT_EQ(SetOne(ICAP_BITDEPTH, TWTY_UINT16, TW_UINT16{16}), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_BADVALUE);
    EXPECT_EQ(Int(ICAP_PIXELTYPE), TWPT_GRAY);
}

// The dialog edits the pool itself: once it hands back (the OK of a set-up without a scan), the bit
// depth an application reads follows the pixel type chosen there, as after a set through TWAIN.
TEST_F(DataSource, TheBitDepthFollowsThePixelTypeTheDialogChose) {
    Open();
    SetUIControllerFactory([] { return std::make_unique<CNullUIController>(); });
    ASSERT_EQ(Call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDSUIONLY, nullptr), TWRC_SUCCESS);
    SetUIControllerFactory(nullptr);
    ASSERT_TRUE(SetCapUIntValue(mDS.GetCapPool(), ICAP_PIXELTYPE, TWPT_GRAY));
    fnd::NotificationCenter::defaultCenter().post("CloseDSOkayNotification", fnd::Value(fnd::Dictionary()));
    ASSERT_EQ(Cap(MSG_GETCURRENT, ICAP_BITDEPTH), TWRC_SUCCESS);
    EXPECT_EQ(AnswerField<TW_UINT32>(), 8u);
}

TEST_F(DataSource, ScannerHandlerAnswersItsOwnCapability) {
    Open();
    EXPECT_EQ(SetOne(test::kEvenCap, TWTY_INT32, TW_INT32{3}), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_BADVALUE);
    EXPECT_EQ(Int(test::kEvenCap), 2);
    EXPECT_EQ(SetOne(test::kEvenCap, TWTY_INT32, TW_INT32{8}), TWRC_SUCCESS);
    EXPECT_EQ(Int(test::kEvenCap), 8);
}

TEST_F(DataSource, FrameInPixelsAndInches) {
    Open();
    CCapPool* pool = mDS.GetCapPool();
    ASSERT_EQ(SetOne(ICAP_UNITS, TWTY_UINT16, TW_UINT16{TWUN_PIXELS}), TWRC_SUCCESS);
    SetCapSIntValue(pool, CCAP_OVKM_SCANAREA_WIDTH, 10200);
    SetCapSIntValue(pool, CCAP_OVKM_SCANAREA_HEIGHT, 10200);
    ASSERT_EQ(Cap(MSG_GET, ICAP_FRAMES), TWRC_SUCCESS);
    auto frame = AnswerField<TW_FRAME>();
    EXPECT_EQ(test::ItemType(mAnswer.get()), TWTY_FRAME);
    EXPECT_EQ(test::Fix(frame.Left), 0.0f);
    EXPECT_EQ(test::Fix(frame.Right), 2550.0f);
    EXPECT_EQ(test::Fix(frame.Bottom), 2550.0f);

    ASSERT_EQ(SetOne(ICAP_UNITS, TWTY_UINT16, TW_UINT16{TWUN_INCHES}), TWRC_SUCCESS);
    const TW_FRAME inches{FloatToFix32(1), FloatToFix32(1), FloatToFix32(2), FloatToFix32(3)};
    ASSERT_EQ(SetOne(ICAP_FRAMES, TWTY_FRAME, inches), TWRC_SUCCESS);
    EXPECT_EQ(Int(CCAP_OVKM_SCANAREA_X), 1200);
    EXPECT_EQ(Int(CCAP_OVKM_SCANAREA_Y), 1200);
    EXPECT_EQ(Int(CCAP_OVKM_SCANAREA_WIDTH), 1200);
    EXPECT_EQ(Int(CCAP_OVKM_SCANAREA_HEIGHT), 2400);

    // The default frame is the scan area's defaults (empty here), whatever was set.
    ASSERT_EQ(Cap(MSG_GETDEFAULT, ICAP_FRAMES), TWRC_SUCCESS);
    frame = AnswerField<TW_FRAME>();
    EXPECT_EQ(test::Fix(frame.Right), 0.0f);
    EXPECT_EQ(test::Fix(frame.Bottom), 0.0f);

    const TW_FRAME inverted{FloatToFix32(2), FloatToFix32(1), FloatToFix32(1), FloatToFix32(3)};
    EXPECT_EQ(SetOne(ICAP_FRAMES, TWTY_FRAME, inverted), TWRC_FAILURE);
    EXPECT_EQ(SetOne(ICAP_FRAMES, TWTY_UINT32, TW_UINT32{1}), TWRC_FAILURE);
    EXPECT_EQ(Int(CCAP_OVKM_SCANAREA_WIDTH), 1200);
}

TEST_F(DataSource, ImageLayoutDefaultLeavesCurrentFrame) {
    Open();
    ASSERT_EQ(SetOne(ICAP_UNITS, TWTY_UINT16, TW_UINT16{TWUN_INCHES}), TWRC_SUCCESS);
    TW_IMAGELAYOUT layout{};
    layout.Frame = {FloatToFix32(0), FloatToFix32(0), FloatToFix32(4), FloatToFix32(5)};
    ASSERT_EQ(Call(DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout), TWRC_SUCCESS);
    TW_IMAGELAYOUT answer{};
    ASSERT_EQ(Call(DG_IMAGE, DAT_IMAGELAYOUT, MSG_GETDEFAULT, &answer), TWRC_SUCCESS);
    EXPECT_EQ(test::Fix(answer.Frame.Right), 0.0f);
    ASSERT_EQ(Call(DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, &answer), TWRC_SUCCESS);
    EXPECT_EQ(test::Fix(answer.Frame.Right), 4.0f);
    EXPECT_EQ(test::Fix(answer.Frame.Bottom), 5.0f);
    EXPECT_EQ(TW_UINT32{answer.PageNumber}, 1u);
}

TEST_F(DataSource, PhysicalSizeInTheApplicationsUnits) {
    Open();
    SetCapFloatValue(mDS.GetCapPool(), ICAP_PHYSICALWIDTH, 10200.0f); // 8.5 inches in 1/1200 inch
    ASSERT_EQ(Cap(MSG_GET, ICAP_PHYSICALWIDTH), TWRC_SUCCESS);
    EXPECT_EQ(test::Fix(AnswerField<TW_FIX32>()), 8.5f);
    ASSERT_EQ(SetOne(ICAP_UNITS, TWTY_UINT16, TW_UINT16{TWUN_PIXELS}), TWRC_SUCCESS);
    ASSERT_EQ(Cap(MSG_GETCURRENT, ICAP_PHYSICALWIDTH), TWRC_SUCCESS);
    EXPECT_EQ(test::Fix(AnswerField<TW_FIX32>()), 2550.0f);
}

} // namespace
