// ShowAlert: which codes are shown, with which texts and buttons, and what each answer does to the batch.
#include <gtest/gtest.h>

#include "QSDataSource.h"
#include "scan/AlertPresenter.h"

namespace {

class CRecordingPresenter : public CAlertPresenter {
public:
    std::vector<SAlert>* shown;
    std::optional<std::size_t> answer;
    CRecordingPresenter(std::vector<SAlert>* log, std::optional<std::size_t> choice)
        : shown(log), answer(choice) {}
    std::optional<std::size_t> RunAlert(const SAlert& alert, bool) override {
        shown->push_back(alert);
        return answer;
    }
};

class AlertTest : public test::QSDataSourceTest {
protected:
    void Answer(std::optional<std::size_t> choice) {
        SetAlertPresenter(std::make_unique<CRecordingPresenter>(&mShown, choice));
    }
    void TearDown() override { SetAlertPresenter(std::make_unique<CLogAlertPresenter>()); }
    std::vector<SAlert> mShown;
};

TEST_F(AlertTest, QuietCodesShowNothing) {
    Answer(0);
    EXPECT_EQ(mDS->ShowAlert(0), TWRC_SUCCESS);
    EXPECT_EQ(mDS->ShowAlert(0x20000000), TWRC_SUCCESS);
    EXPECT_EQ(mDS->ShowAlert(0x04000000), TWRC_CANCEL);
    EXPECT_TRUE(mShown.empty());
}

TEST_F(AlertTest, DeviceErrorsShowTheirTextsAndCancel) {
    Answer(0);
    EXPECT_EQ(mDS->ShowAlert(0x00030000), TWRC_CANCEL);
    ASSERT_EQ(mShown.size(), 1u);
    EXPECT_EQ(mShown[0].message, "The paper has jammed.");
    EXPECT_NE(mShown[0].information.find("jammed paper"), std::string::npos);
    EXPECT_EQ(mShown[0].buttons, std::vector<std::string>{"OK"});
}

TEST_F(AlertTest, NoPageOffersRetryOrCancel) {
    Answer(0);
    EXPECT_EQ(mDS->ShowAlert(0x08000000), TWRC_CHECKSTATUS);
    Answer(1);
    EXPECT_EQ(mDS->ShowAlert(0x08000000), TWRC_CANCEL);
    ASSERT_EQ(mShown.size(), 2u);
    EXPECT_EQ(mShown[1].buttons, (std::vector<std::string>{"OK", "Cancel"}));
}

TEST_F(AlertTest, UnknownCodesNameTheirLowBitsOnlyWhenTheTopBitIsSet) {
    Answer(0);
    mDS->ShowAlert(0x80000001);
    mDS->ShowAlert(0x00090000);
    ASSERT_EQ(mShown.size(), 2u);
    EXPECT_EQ(mShown[0].message, "An unexpected error occurred (code 1).");
    EXPECT_EQ(mShown[1].message, "An unexpected error occurred (code 0).");
}

// A device fault's code outlives the cancel it causes, is read once, and never hides a later failure.
TEST_F(AlertTest, DeviceFaultsLeaveTheirConditionCodeForOneStatusRead) {
    auto status = [&] {
        TW_STATUS record{};
        EXPECT_EQ(mDS->GetStatus(nullptr, &record), TWRC_SUCCESS);
        return record.ConditionCode;
    };
    Answer(0);
    const std::pair<std::uint32_t, TW_UINT16> faults[] = {
        {0x00030000, TWCC_PAPERJAM},          {0x00050000, TWCC_PAPERDOUBLEFEED},
        {0x00040000, TWCC_OPERATIONERROR},    {0x00020000, TWCC_NOMEDIA},
        {0x00060000, TWCC_OPERATIONERROR},    {0x00070000, TWCC_OPERATIONERROR},
        {0x00010000, TWCC_OPERATIONERROR},    {0x80000001, TWCC_OPERATIONERROR},
        {0x00000100, TWCC_CHECKDEVICEONLINE}, {0x000A0000, TWCC_CHECKDEVICEONLINE},
        {0x00000300, TWCC_CHECKDEVICEONLINE}, {2, TWCC_LOWMEMORY}};
    for (const auto& [code, condition] : faults) {
        EXPECT_EQ(mDS->ShowAlert(code), TWRC_CANCEL);
        EXPECT_EQ(mDS->GetConditionCode(), TWCC_SUCCESS) << code;
        EXPECT_EQ(status(), condition) << code;
        EXPECT_EQ(status(), TWCC_SUCCESS) << code;
    }
    mDS->ShowAlert(0x00030000);
    mDS->ShowAlert(0); // a later quiet answer does not forget the jam
    mDS->SetConditionCode(TWCC_BADVALUE, TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADVALUE);
    EXPECT_EQ(status(), TWCC_PAPERJAM);
    // An empty feeder that the user chose to retry no longer describes the batch; one given up on does.
    mDS->ShowAlert(0x08000000);
    EXPECT_EQ(status(), TWCC_SUCCESS);
    Answer(1);
    mDS->ShowAlert(0x08000000);
    EXPECT_EQ(status(), TWCC_NOMEDIA);
}

TEST_F(AlertTest, AnAlertThatCannotBeShownStopsTheBatch) {
    Answer(std::nullopt);
    EXPECT_EQ(mDS->ShowAlert(0x00050000), TWRC_CANCEL);
    SetAlertPresenter(nullptr);
    EXPECT_EQ(mDS->ShowAlert(0x08000000), TWRC_CANCEL);
}

TEST(LogAlertPresenter, AnswersCancelWhenThereIsAChoice) {
    CLogAlertPresenter presenter;
    EXPECT_EQ(presenter.RunAlert({"m", "i", {"OK", "Cancel"}, true}, false), std::optional<std::size_t>(1));
    EXPECT_EQ(presenter.RunAlert({"m", "i", {"OK"}, true}, false), std::optional<std::size_t>(0));
}

// The logged empty-feeder alert offers no button to click, so it must not ask for one: it names the
// answer it took.
TEST_F(AlertTest, TheLoggedNoPageAlertNamesItsAnswerNotAClick) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(mDS->ShowAlert(0x08000000), TWRC_CANCEL);
    const std::string line = testing::internal::GetCapturedStderr();
    EXPECT_NE(line.find("There are no documents in the feeder."), std::string::npos) << line;
    EXPECT_NE(line.find("\"Cancel\""), std::string::npos) << line;
    EXPECT_EQ(line.find("click"), std::string::npos) << line;
    EXPECT_EQ(line.find("OK"), std::string::npos) << line;
}

} // namespace
