// The roller and pad reminder: shown at the first enable when a service counter reached its limit,
// once per session.
#include <gtest/gtest.h>

#include <array>

#include "COrvkQS.h"
#include "EmulatedScanner.h"
#include "Emulator.h"
#include "QSDataSource.h"

namespace {

struct SReminders {
    std::vector<bool> padFlags; // one entry per reminder shown
};

class CReminderRecorder : public CNullUIController {
public:
    explicit CReminderRecorder(SReminders& log) : mLog(log) {}
    void runModalRollerExchangeAlert(bool isPad, bool) override { mLog.padFlags.push_back(isPad); }

private:
    SReminders& mLog;
};

class RollerReminderTest : public test::QSDataSourceTest {
protected:
    void SetUp() override {
        SetUIControllerFactory([this] { return std::make_unique<CReminderRecorder>(mReminders); });
        Open();
        test::AttachEmulatedScanner(*mDS, mEmulator);
    }
    void TearDown() override { SetUIControllerFactory(nullptr); }
    void SetCounts(std::uint32_t total, std::uint32_t roller, std::uint32_t pad) {
        ASSERT_EQ(mDS->GetScanner()->SetScanCounter(total, roller, pad), 0u);
    }
    TW_UINT16 Enable() {
        TW_USERINTERFACE ui{};
        return Call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui);
    }

    k3100::emu::Emulator mEmulator;
    SReminders mReminders;
};

TEST_F(RollerReminderTest, WornRollerIsRemindedOncePerSession) {
    SetCounts(100000, 100000, 9999);
    ASSERT_EQ(Enable(), TWRC_SUCCESS);
    EXPECT_EQ(mReminders.padFlags, std::vector<bool>{false});
    TW_PENDINGXFERS pending{};
    Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending);
    Call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, nullptr);
    ASSERT_EQ(Enable(), TWRC_SUCCESS);
    EXPECT_EQ(mReminders.padFlags.size(), 1u);
}

TEST_F(RollerReminderTest, CountsBelowTheLimitsShowNothingAndAWornPadIsNamed) {
    SetCounts(100000, 99999, 10000);
    ASSERT_EQ(Enable(), TWRC_SUCCESS);
    EXPECT_EQ(mReminders.padFlags, std::vector<bool>{true});
}

} // namespace
