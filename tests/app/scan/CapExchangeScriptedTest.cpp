// The application against scripted data sources loaded by the real source manager: identities in every
// form a data source may write, and the capability exchange's handling of refusals and of batches that
// continue, which the real data source never provokes.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <memory>

#include "PropertyList.h"
#include "QSCapIds.h"
#include "ScriptedSource.h"
#include "TlvDeviceCntlrCAPs.h"
#include "VX_TWAINCommon.h"

namespace fs = std::filesystem;

namespace {

// Copied in this order, so the manager lists the oversized identity first.
const char* const kSources[][2] = {{SCRIPTED_OVERSIZED, "1_oversized.ds"},
                                   {SCRIPTED_ZEROTERMINATED, "2_zeroterminated.ds"},
                                   {SCRIPTED_PREFIXED, "3_prefixed.ds"}};

fnd::Dictionary AppInfo() {
    const fnd::plist::FileContents file = fnd::plist::readFile(APP_INFO_PLIST);
    const fnd::Dictionary* info = file.value.asDictionary();
    return info ? *info : fnd::Dictionary{};
}

TW_INT32 Word(const std::vector<std::uint8_t>& container) {
    TW_INT32 word = 0;
    std::memcpy(&word, container.data() + offsetof(TW_ONEVALUE, Item), sizeof word);
    return word;
}

class CapExchangeScripted : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string pattern = (fs::temp_directory_path() / "k3100-scripted-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        sFolder = pattern;
        for (const auto& [from, to] : kSources)
            fs::copy_file(from, sFolder / to);
        setenv("K3100_TWAIN_DS_DIR", sFolder.c_str(), 1);
    }
    static void TearDownTestSuite() { fs::remove_all(sFolder); }

    void SetUp() override {
        // The manager loaded the file from this path: dlopen hands back the same library.
        mLibrary = dlopen((sFolder / "2_zeroterminated.ds").c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(mLibrary, nullptr) << dlerror();
        auto find = reinterpret_cast<SScriptedSource* (*)()>(dlsym(mLibrary, "ScriptedSourceScript"));
        ASSERT_NE(find, nullptr);
        mScript = find();
        *mScript = SScriptedSource{};
        mHandler = std::make_unique<VX_TWAINHandler>("Orvik Electronics", "Orvik", "Tollivar", "1.00");
        ASSERT_EQ(mHandler->openVXDS(AppInfo()), TWRC_SUCCESS);
        mCaps = std::make_unique<TlvDeviceCntlrCAPs>(*mHandler);
    }
    void TearDown() override {
        mCaps.reset();
        mHandler.reset();
        if (mLibrary)
            dlclose(mLibrary);
    }

    // A full send of model as the first part of a batch; every capability accepted.
    void SendFull(const TlvScanSettingMdl& model) {
        TW_INT16 rc = 0;
        ASSERT_TRUE(mCaps->setCCAPsValues(&model, false, true, &rc));
        ASSERT_EQ(rc, 0);
    }

    static inline fs::path sFolder;
    void* mLibrary = nullptr;
    SScriptedSource* mScript = nullptr;
    std::unique_ptr<VX_TWAINHandler> mHandler;
    std::unique_ptr<TlvDeviceCntlrCAPs> mCaps;
};

TlvScanSettingMdl DriverSettings() {
    TlvScanSettingMdl model;
    model.setIsUseDriverSetting(true);
    return model;
}

} // namespace

TEST_F(CapExchangeScripted, IdentitiesAreReadInEitherFormAndOversizedOnesNeverMatch) {
    EXPECT_EQ(VX_TWAINCommon::identityText(mHandler->dsIdentity().ProductName), "Orvik K-3100 TWAIN");
    VX_TWAINHandler lister("Orvik Electronics", "Orvik", "Tollivar Lister", "1.00");
    std::vector<bool> matches;
    for (int rc = lister.getFirst(); rc == TWRC_SUCCESS; rc = lister.getNext()) {
        const TW_IDENTITY& id = lister.dsIdentity();
        matches.push_back(VX_TWAINCommon::isVXDS_Identity(id, AppInfo()));
        EXPECT_LE(VX_TWAINCommon::identityText(id.Manufacturer).size(), sizeof(TW_STR32));
    }
    EXPECT_EQ(matches, (std::vector<bool>{false, true, true}));
}

TEST_F(CapExchangeScripted, WithoutAModelOnlyTheIndicatorsAreSent) {
    TW_INT16 rc = 0;
    EXPECT_TRUE(mCaps->setCCAPsValues(nullptr, true, true, &rc));
    EXPECT_EQ(mScript->sets, std::vector<TW_UINT16>{CAP_INDICATORS});
}

TEST_F(CapExchangeScripted, ARefusedSetKeepsTheFirstFailingCodeAndEverythingElseIsSent) {
    mScript->refuseSet = {{CCAP_OVKM_PAPERSIZE, TWRC_FAILURE}, {CCAP_OVK_REDUCE_MOIRE, TWRC_CHECKSTATUS}};
    const TlvScanSettingMdl model = DriverSettings();
    TW_INT16 rc = 0;
    EXPECT_FALSE(mCaps->setCCAPsValues(&model, false, true, &rc));
    EXPECT_EQ(rc, TWRC_FAILURE);
    EXPECT_EQ(mScript->sets.size(), 75u); // the indicators and rows 1 to 74
    EXPECT_EQ(mScript->window, kWindowFront);
}

TEST_F(CapExchangeScripted, FrontAndBackGoToTheirOwnCopies) {
    TlvScanSettingMdl model = DriverSettings();
    model.setICAP_BRIGHTNESS(10.0f);
    model.setICAP_BRIGHTNESS_Back(-20.0f);
    model.setCCAP_OVK_DROPOUT_Back(3);
    SendFull(model);
    const TlvScanSettingMdl fresh = DriverSettings();
    TlvScanSettingMdl read = fresh;
    TW_INT16 rc = 0;
    ASSERT_TRUE(mCaps->getCCAPsValues(&read, &rc));
    EXPECT_EQ(read.icap_BRIGHTNESS(), 10.0f);
    EXPECT_EQ(read.icap_BRIGHTNESS_Back(), -20.0f);
    EXPECT_EQ(read.ccap_OVK_DROPOUT_Back(), 3);
    EXPECT_EQ(read, model);
    EXPECT_EQ(mScript->window, kWindowFront);
}

TEST_F(CapExchangeScripted, ARefusedReadKeepsEveryOldValue) {
    TlvScanSettingMdl model = DriverSettings();
    model.setICAP_XRESOLUTION(300.0f);
    SendFull(model);
    TlvScanSettingMdl changed = model;
    changed.setICAP_XRESOLUTION(150.0f);
    changed.setCCAP_OVK_EDGEEMPHASIS(1);
    TlvDeviceCntlrCAPs other(*mHandler);
    TW_INT16 rc = 0;
    ASSERT_TRUE(other.setCCAPsValues(&changed, false, true, &rc));

    mScript->refuseGet = {ICAP_CONTRAST};
    TlvScanSettingMdl read = model;
    EXPECT_FALSE(mCaps->getCCAPsValues(&read, &rc));
    EXPECT_EQ(rc, TWRC_FAILURE);
    EXPECT_EQ(read, model); // not even the values read before the refusal were taken
    mScript->refuseGet.clear();
    EXPECT_TRUE(mCaps->getCCAPsValues(&read, &rc));
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(read, changed);
}

TEST_F(CapExchangeScripted, AContinuedBatchResendsEverythingOnceAnotherProgramChangedTheSettings) {
    const TlvScanSettingMdl model = DriverSettings();
    SendFull(model);
    mScript->sets.clear();
    TW_INT16 rc = 0;
    ASSERT_TRUE(mCaps->setCCAPsValues(&model, false, false, &rc));
    EXPECT_EQ(mScript->sets, (std::vector<TW_UINT16>{CAP_INDICATORS, CCAP_OVK_WINDOW, CCAP_OVK_WINDOW,
                                                     CCAP_OVK_WINDOW})); // only the reads' side steps

    // Another program leaves a resolution of its own in the data source.
    std::vector<std::uint8_t>& x = mScript->containers.at(ICAP_XRESOLUTION);
    const TW_FIX32 other{150, 0};
    std::memcpy(x.data() + offsetof(TW_ONEVALUE, Item), &other, sizeof other);
    mScript->sets.clear();
    ASSERT_TRUE(mCaps->setCCAPsValues(&model, false, false, &rc));
    EXPECT_GT(mScript->sets.size(), 75u);
    TW_FIX32 sent;
    std::memcpy(&sent, mScript->containers.at(ICAP_XRESOLUTION).data() + offsetof(TW_ONEVALUE, Item),
                sizeof sent);
    EXPECT_EQ(sent.Whole, 200);
}

TEST_F(CapExchangeScripted, SimpleSettingsOverrideTheFullSetInTheirOrder) {
    TlvScanSettingMdl model;
    model.setScnStColType(3);
    model.setScnStPapSizeType(2); // A5
    model.setScnStDirectionType(1);
    model.setScnStResType(7); // not in the list
    model.setScnStReaderSideType(2);
    model.setIsRevisionSlope(false);
    model.setIsRecCharDir(true);
    const TlvScanSettingMdl before = model;
    SendFull(model);
    // The indicators, rows 1 to 74, the overrides, and the side steps of the read-back that follows.
    ASSERT_EQ(mScript->sets.size(), 75u + 12u + 2u + 1u + 3u);
    const std::vector<TW_UINT16> overrides(mScript->sets.begin() + 75, mScript->sets.end() - 3);
    EXPECT_EQ(overrides, (std::vector<TW_UINT16>{ICAP_HALFTONES, CCAP_OVK_TEXTENHANCE, ICAP_PIXELTYPE,
                                                 CCAP_OVK_DETECTPAGETYPE, CCAP_OVKM_CUSTOM_SCANAREA,
                                                 CCAP_OVKM_PAPERSIZE, CCAP_OVK_DETECTPAGESIZE,
                                                 ICAP_XRESOLUTION, ICAP_YRESOLUTION, CAP_DUPLEXENABLED,
                                                 CCAP_OVK_BLANKSKIP, CCAP_OVK_FOLDLARGESIZE, CCAP_OVK_DESKEW,
                                                 CCAP_OVK_DATAORIENTATION, CCAP_OVK_RECOGNIZE_DIRECTION}));
    const auto& kept = mScript->containers;
    EXPECT_EQ(Word(kept.at(ICAP_PIXELTYPE)) & 0xFFFF, TWPT_BW);
    EXPECT_EQ(Word(kept.at(CCAP_OVKM_PAPERSIZE)), 2);
    EXPECT_EQ(Word(kept.at(CCAP_OVK_DETECTPAGESIZE)), 0);
    EXPECT_EQ(Word(kept.at(ICAP_XRESOLUTION)) & 0xFFFF, 200); // Whole of the FIX32
    EXPECT_EQ(Word(kept.at(CCAP_OVK_BLANKSKIP)), 1);
    EXPECT_EQ(model, before);
}

// The check of the first page is a setting of the data source's own: left ticked there, it scans no
// prescan once those settings are turned off, in any colour mode, unless the dialog asks.
TEST_F(CapExchangeScripted, ThePrescanIsInForceOnlyWithTheDataSourcesOwnSettingsOrItsDialog) {
    TlvScanSettingMdl model;
    model.setScnStColType(0);
    model.setCCAP_OVK_PRESCAN(1);
    SendFull(model);
    EXPECT_EQ(Word(mScript->containers.at(CCAP_OVK_PRESCAN)), 0);
    EXPECT_EQ(Word(mScript->containers.at(CCAP_OVK_DETECTPAGESIZE)), 1); // paper 0 detects the size
    TW_INT16 rc = 0;
    ASSERT_TRUE(mCaps->setCCAPsValues(&model, true, true, &rc));
    EXPECT_EQ(Word(mScript->containers.at(CCAP_OVK_PRESCAN)), 1);
    model.setScnStColType(2);
    SendFull(model);
    EXPECT_EQ(Word(mScript->containers.at(CCAP_OVK_PRESCAN)), 0) << "grey, detailed settings off";
    model.setIsUseDriverSetting(true);
    SendFull(model);
    EXPECT_EQ(Word(mScript->containers.at(CCAP_OVK_PRESCAN)), 1) << "detailed settings on";
}
