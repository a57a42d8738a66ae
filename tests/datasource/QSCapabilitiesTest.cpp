// The scanner's capability set through the triplets: table values that applications and the dialog
// rely on, the back twins behind the side selector, and the handlers that keep settings consistent.
#include "QSDataSource.h"

namespace {

using test::QSDataSourceTest;

constexpr std::size_t kItem = offsetof(TW_ONEVALUE, Item);
constexpr std::size_t kEnumList = offsetof(TW_ENUMERATION, ItemList);

TEST_F(QSDataSourceTest, TableGivesDefaultsAndAllowedValues) {
    Open();
    ASSERT_EQ(Cap(MSG_GET, ICAP_XRESOLUTION), TWRC_SUCCESS);
    EXPECT_EQ(mAnswerType, TWON_ENUMERATION);
    EXPECT_EQ(AnswerField<TW_UINT32>(offsetof(TW_ENUMERATION, NumItems)), 5u);
    EXPECT_EQ(AnswerField<TW_UINT32>(offsetof(TW_ENUMERATION, CurrentIndex)), 1u);
    EXPECT_EQ(AnswerField<TW_FIX32>(kEnumList + 4 * sizeof(TW_FIX32)).Whole, 600);

    ASSERT_EQ(Cap(MSG_GET, ICAP_BRIGHTNESS), TWRC_SUCCESS);
    EXPECT_EQ(mAnswerType, TWON_RANGE);
    EXPECT_EQ(AnswerField<TW_FIX32>(offsetof(TW_RANGE, MinValue)).Whole, -1000);
    EXPECT_NEAR(test::Fix(AnswerField<TW_FIX32>(offsetof(TW_RANGE, StepSize))), 1000.0f / 127, 1e-4);

    EXPECT_EQ(Int(CCAP_OVKM_PAPERSIZE), 9);
    EXPECT_EQ(Int(CCAP_OVK_EDGEEMPHASIS), 3);
    EXPECT_EQ(Int(CCAP_OVK_BLEEDTHROUGH_THRESHOLD), 4);
    EXPECT_EQ(Int(CCAP_OVK_TEXTENHANCE_CONTRAST), 128);
    EXPECT_EQ(Float(ICAP_PHYSICALWIDTH), 10208.0f);
    EXPECT_EQ(Float(BackTwin(CCAP_OVKM_BLUEGAMMA)), 1.0f);

    // The first open with nothing stored scans the whole default paper (US letter).
    EXPECT_EQ(Int(CCAP_OVKM_SCANAREA_WIDTH), 10200);
    EXPECT_EQ(Int(CCAP_OVKM_SCANAREA_HEIGHT), 13200);

    const std::uint8_t diffusion[34] = {15,  'E', 'r', 'r', 'o', 'r', ' ', 'D',
                                        'i', 'f', 'f', 'u', 's', 'i', 'o', 'n'};
    const auto halftone = test::Enumeration(TWTY_STR32, 34, diffusion, 1, 0, 1);
    EXPECT_EQ(Cap(MSG_SET, ICAP_HALFTONES, TWON_ENUMERATION, halftone.get()), TWRC_CHECKSTATUS);
    EXPECT_EQ(SetOne(CAP_DUPLEX, TWTY_UINT16, TW_UINT16{1}), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_CAPBADOPERATION);

    std::uint8_t curve[256] = {};
    ASSERT_TRUE(GetCapStrValue(Pool(), BackTwin(CCAP_OVKM_REDCURVE), curve));
    EXPECT_EQ(curve[0], 0);
    EXPECT_EQ(curve[200], 200);
}

TEST_F(QSDataSourceTest, SupportedCapsListsTheStandardOnesOnce) {
    Open();
    ASSERT_EQ(Cap(MSG_GET, CAP_SUPPORTEDCAPS), TWRC_SUCCESS);
    const auto count = AnswerField<TW_UINT32>(offsetof(TW_ARRAY, NumItems));
    std::vector<TW_UINT16> ids;
    for (TW_UINT32 i = 0; i < count; ++i)
        ids.push_back(AnswerField<TW_UINT16>(offsetof(TW_ARRAY, ItemList) + 2 * i));
    EXPECT_EQ(std::count(ids.begin(), ids.end(), ICAP_XRESOLUTION), 1);
    EXPECT_EQ(std::count(ids.begin(), ids.end(), ICAP_THRESHOLD), 1);
    EXPECT_EQ(std::count(ids.begin(), ids.end(), CAP_DUPLEXENABLED), 1);
    EXPECT_EQ(std::count_if(ids.begin(), ids.end(), [](TW_UINT16 id) { return id >= 0x8000; }), 0);
    ASSERT_EQ(Cap(MSG_GETCURRENT, CAP_SUPPORTEDCAPS), TWRC_SUCCESS);
    EXPECT_EQ(mAnswerType, TWON_ARRAY);
    EXPECT_EQ(AnswerField<TW_UINT32>(offsetof(TW_ARRAY, NumItems)), count);
}

TEST_F(QSDataSourceTest, SideSelectorChoosesWhichToneSettingChanges) {
    Open();
    ASSERT_EQ(SetFix(ICAP_BRIGHTNESS, 100), TWRC_SUCCESS); // selector 0: both sides
    EXPECT_EQ(Float(ICAP_BRIGHTNESS), 100.0f);
    EXPECT_EQ(Float(BackTwin(ICAP_BRIGHTNESS)), 100.0f);

    ASSERT_EQ(SetInt(CCAP_OVK_WINDOW, kWindowBack), TWRC_SUCCESS);
    ASSERT_EQ(SetFix(ICAP_BRIGHTNESS, -200), TWRC_SUCCESS);
    EXPECT_EQ(Float(ICAP_BRIGHTNESS), 100.0f);
    EXPECT_FLOAT_EQ(Float(BackTwin(ICAP_BRIGHTNESS)), -200.0f);
    ASSERT_EQ(Cap(MSG_GETCURRENT, ICAP_BRIGHTNESS), TWRC_SUCCESS);
    EXPECT_EQ(AnswerField<TW_FIX32>(kItem).Whole, -200);
    ASSERT_EQ(SetInt(CCAP_OVK_DROPOUT, 2), TWRC_SUCCESS);
    EXPECT_EQ(Int(BackTwin(CCAP_OVK_DROPOUT)), 2);
    EXPECT_EQ(Int(CCAP_OVK_DROPOUT), 0);

    ASSERT_EQ(SetInt(CCAP_OVK_WINDOW, kWindowFront), TWRC_SUCCESS);
    ASSERT_EQ(SetFix(ICAP_CONTRAST, 1000), TWRC_SUCCESS);
    EXPECT_EQ(Float(ICAP_CONTRAST), 1000.0f);
    EXPECT_EQ(Float(BackTwin(ICAP_CONTRAST)), 0.0f);

    // Refused on the back twin: neither side changes.
    ASSERT_EQ(SetInt(CCAP_OVK_WINDOW, kWindowBoth), TWRC_SUCCESS);
    EXPECT_EQ(SetFix(ICAP_CONTRAST, 1001), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_BADVALUE);
    EXPECT_EQ(Float(ICAP_CONTRAST), 1000.0f);
}

TEST_F(QSDataSourceTest, ResolutionsMoveTogetherAndSetMoireReduction) {
    Open();
    ASSERT_EQ(SetFix(ICAP_XRESOLUTION, 600), TWRC_SUCCESS);
    EXPECT_EQ(Float(ICAP_YRESOLUTION), 600.0f);
    EXPECT_EQ(Int(CCAP_OVK_REDUCE_MOIRE), 1);

    ASSERT_EQ(SetInt(CCAP_OVK_REDUCE_MOIRE, 2), TWRC_SUCCESS);
    ASSERT_EQ(SetFix(ICAP_YRESOLUTION, 300), TWRC_SUCCESS);
    EXPECT_EQ(Float(ICAP_XRESOLUTION), 300.0f);
    EXPECT_EQ(Int(CCAP_OVK_REDUCE_MOIRE), 3);

    ASSERT_EQ(SetInt(CCAP_OVK_REDUCE_MOIRE, 2), TWRC_SUCCESS);
    ASSERT_EQ(SetFix(ICAP_XRESOLUTION, 200), TWRC_SUCCESS);
    EXPECT_EQ(Int(CCAP_OVK_REDUCE_MOIRE), 2);
    EXPECT_EQ(SetFix(ICAP_XRESOLUTION, 250), TWRC_FAILURE);
    EXPECT_EQ(Float(ICAP_YRESOLUTION), 200.0f);
}

TEST_F(QSDataSourceTest, TransferCountAndFeedingSwitchesFollowEachOther) {
    Open();
    ASSERT_EQ(SetBool(CAP_AUTOFEED, true), TWRC_SUCCESS);
    EXPECT_EQ(Int(CAP_AUTOSCAN), 1);
    EXPECT_EQ(Int(CAP_XFERCOUNT), -1);

    ASSERT_EQ(SetOne(CAP_XFERCOUNT, TWTY_INT16, TW_INT16{5}), TWRC_SUCCESS);
    EXPECT_EQ(Int(CAP_AUTOFEED), 0);
    EXPECT_EQ(Int(CAP_AUTOSCAN), 0);
    for (TW_INT16 refused : {TW_INT16{0}, TW_INT16{-2}}) {
        EXPECT_EQ(SetOne(CAP_XFERCOUNT, TWTY_INT16, refused), TWRC_FAILURE);
        EXPECT_EQ(Status(), TWCC_BADVALUE);
        EXPECT_EQ(Int(CAP_XFERCOUNT), 5);
    }

    ASSERT_EQ(SetBool(CAP_DUPLEXENABLED, true), TWRC_SUCCESS);
    ASSERT_EQ(SetOne(CAP_XFERCOUNT, TWTY_INT16, TW_INT16{-1}), TWRC_SUCCESS);
    EXPECT_EQ(Int(CAP_DUPLEXENABLED), 0);

    ASSERT_EQ(SetOne(CAP_XFERCOUNT, TWTY_INT16, TW_INT16{1}), TWRC_SUCCESS);
    ASSERT_EQ(SetBool(CAP_DUPLEXENABLED, true), TWRC_SUCCESS);
    EXPECT_EQ(Int(CAP_XFERCOUNT), -1);

    ASSERT_EQ(SetBool(CAP_AUTOSCAN, true), TWRC_SUCCESS);
    ASSERT_EQ(SetBool(CAP_FEEDERENABLED, false), TWRC_SUCCESS);
    EXPECT_EQ(Int(CAP_AUTOFEED), 0);
    EXPECT_EQ(Int(CAP_AUTOSCAN), 0);
}

TEST_F(QSDataSourceTest, ThresholdDrivesBothBrightnessesInBlackAndWhite) {
    Open();
    ASSERT_EQ(SetOne(ICAP_PIXELTYPE, TWTY_UINT16, TW_UINT16{TWPT_GRAY}), TWRC_SUCCESS);
    EXPECT_EQ(SetFix(ICAP_THRESHOLD, 200), TWRC_SUCCESS); // no effect outside black and white
    EXPECT_EQ(Float(ICAP_BRIGHTNESS), 0.0f);

    ASSERT_EQ(SetOne(ICAP_PIXELTYPE, TWTY_UINT16, TW_UINT16{TWPT_BW}), TWRC_SUCCESS);
    ASSERT_EQ(SetFix(ICAP_THRESHOLD, 200), TWRC_SUCCESS);
    EXPECT_EQ(Float(ICAP_BRIGHTNESS), 569.0f);
    EXPECT_EQ(Float(BackTwin(ICAP_BRIGHTNESS)), 569.0f);
    ASSERT_EQ(Cap(MSG_GET, ICAP_THRESHOLD), TWRC_SUCCESS);
    EXPECT_EQ(AnswerField<TW_FIX32>(offsetof(TW_RANGE, CurrentValue)).Whole, 200);

    // Read back from the side the selector names.
    ASSERT_EQ(SetInt(CCAP_OVK_WINDOW, kWindowBack), TWRC_SUCCESS);
    SetCapFloatValue(Pool(), BackTwin(ICAP_BRIGHTNESS), -1000);
    ASSERT_EQ(Cap(MSG_GETCURRENT, ICAP_THRESHOLD), TWRC_SUCCESS);
    EXPECT_EQ(AnswerField<TW_FIX32>(kItem).Whole, 1);

    EXPECT_EQ(SetOne(ICAP_THRESHOLD, TWTY_UINT16, TW_UINT16{50}), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_BADVALUE);
}

// A side that already shows the threshold keeps its brightness; the other side still takes the one the
// threshold names, whichever side the selector reads.
TEST_F(QSDataSourceTest, ThresholdReachesTheSideThatDoesNotShowItYet) {
    Open();
    ASSERT_EQ(SetOne(ICAP_PIXELTYPE, TWTY_UINT16, TW_UINT16{TWPT_BW}), TWRC_SUCCESS);
    for (const std::int32_t apart : {kWindowBack, kWindowFront}) {
        SCOPED_TRACE(testing::Message() << "side set apart " << apart);
        const TW_UINT16 apartId = apart == kWindowBack ? BackTwin(ICAP_BRIGHTNESS) : ICAP_BRIGHTNESS;
        const TW_UINT16 showingId = apart == kWindowBack ? ICAP_BRIGHTNESS : BackTwin(ICAP_BRIGHTNESS);
        ASSERT_EQ(SetInt(CCAP_OVK_WINDOW, kWindowBoth), TWRC_SUCCESS);
        ASSERT_EQ(SetFix(ICAP_BRIGHTNESS, 0), TWRC_SUCCESS); // both sides show 128
        ASSERT_EQ(SetInt(CCAP_OVK_WINDOW, apart), TWRC_SUCCESS);
        ASSERT_EQ(SetFix(ICAP_BRIGHTNESS, 300), TWRC_SUCCESS);
        ASSERT_EQ(SetInt(CCAP_OVK_WINDOW, -apart), TWRC_SUCCESS); // reads the side that shows 128
        ASSERT_EQ(Cap(MSG_GETCURRENT, ICAP_THRESHOLD), TWRC_SUCCESS);
        ASSERT_EQ(AnswerField<TW_FIX32>(kItem).Whole, 128);

        ASSERT_EQ(SetFix(ICAP_THRESHOLD, 128), TWRC_SUCCESS);
        EXPECT_EQ(Float(showingId), 0.0f);
        EXPECT_EQ(Float(apartId), 4.0f); // truncate(128 x 2001/255 - 1000)
    }
}

TEST_F(QSDataSourceTest, OneClientMaySendTheThresholdAsAPlainInteger) {
    Open("Apple Computer", "TWAINBridge");
    ASSERT_EQ(SetOne(ICAP_PIXELTYPE, TWTY_UINT16, TW_UINT16{TWPT_BW}), TWRC_SUCCESS);
    ASSERT_EQ(SetOne(ICAP_THRESHOLD, TWTY_UINT16, TW_UINT16{255}), TWRC_SUCCESS);
    EXPECT_EQ(Float(ICAP_THRESHOLD), 255.0f);
    EXPECT_EQ(Float(ICAP_BRIGHTNESS), 1000.0f);
    EXPECT_EQ(SetOne(ICAP_THRESHOLD, TWTY_UINT16, TW_UINT16{256}), TWRC_FAILURE);
}

TEST_F(QSDataSourceTest, FrameBeyondThePaperMakesAFreeAreaAndStopsAutomaticSizing) {
    Open();
    ASSERT_EQ(SetInt(CCAP_OVKM_SCANAREA_WIDTH, 1200), TWRC_SUCCESS); // ignored without a custom area
    EXPECT_EQ(Int(CCAP_OVKM_SCANAREA_WIDTH), 10200);
    for (TW_UINT16 id : {CCAP_OVK_DESKEW, CCAP_OVK_DETECTPAGESIZE, CCAP_OVK_RECOGNIZE_DIRECTION})
        ASSERT_EQ(SetInt(id, 1), TWRC_SUCCESS);

    ASSERT_EQ(SetOne(ICAP_UNITS, TWTY_UINT16, TW_UINT16{TWUN_INCHES}), TWRC_SUCCESS);
    const TW_FRAME small{FloatToFix32(0), FloatToFix32(0), FloatToFix32(4), FloatToFix32(5)};
    ASSERT_EQ(SetOne(ICAP_FRAMES, TWTY_FRAME, small), TWRC_SUCCESS);
    EXPECT_EQ(Int(CCAP_OVKM_PAPERSIZE), 9);
    EXPECT_EQ(Int(CCAP_OVKM_CUSTOM_SCANAREA), 1);
    EXPECT_EQ(Int(CCAP_OVK_DESKEW), 0);

    const TW_FRAME large{FloatToFix32(0), FloatToFix32(0), FloatToFix32(8), FloatToFix32(13)};
    ASSERT_EQ(SetOne(ICAP_FRAMES, TWTY_FRAME, large), TWRC_SUCCESS);
    EXPECT_EQ(Int(CCAP_OVKM_PAPERSIZE), kPaperFreeArea);
    EXPECT_EQ(Int(CCAP_OVK_DETECTPAGESIZE), 0);
    EXPECT_EQ(Int(CCAP_OVK_RECOGNIZE_DIRECTION), 0);
    ASSERT_EQ(SetInt(CCAP_OVKM_SCANAREA_X, 600), TWRC_SUCCESS); // a custom area takes sets
    EXPECT_EQ(Int(CCAP_OVKM_SCANAREA_X), 600);
}

TEST_F(QSDataSourceTest, PaperFollowsSupportedSizesAndBringsItsScanArea) {
    Open();
    ASSERT_EQ(SetOne(ICAP_SUPPORTEDSIZES, TWTY_UINT16, TW_UINT16{TWSS_A5}), TWRC_SUCCESS);
    EXPECT_EQ(Int(CCAP_OVKM_PAPERSIZE), 1);
    EXPECT_EQ(Int(CCAP_OVKM_SCANAREA_WIDTH), 6992);
    EXPECT_EQ(Int(CCAP_OVKM_SCANAREA_HEIGHT), 9921);

    ASSERT_EQ(SetInt(CCAP_OVKM_PAPERSIZE, 8), TWRC_SUCCESS);
    EXPECT_EQ(Int(CCAP_OVKM_SCANAREA_HEIGHT), 16800);
    ASSERT_EQ(Cap(MSG_GET, ICAP_SUPPORTEDSIZES), TWRC_SUCCESS);
    const auto index = AnswerField<TW_UINT32>(offsetof(TW_ENUMERATION, CurrentIndex));
    EXPECT_EQ(AnswerField<TW_UINT16>(kEnumList + 2 * index), TWSS_USLEGAL);

    ASSERT_EQ(SetInt(CCAP_OVKM_PAPERSIZE, 2), TWRC_SUCCESS); // a paper without a size code has none
    ASSERT_EQ(Cap(MSG_GETCURRENT, ICAP_SUPPORTEDSIZES), TWRC_SUCCESS);
    EXPECT_EQ(AnswerField<TW_UINT16>(kItem), TWSS_NONE);
}

TEST_F(QSDataSourceTest, DirectionRecognitionDoesNotExistForOneClient) {
    Open("NewSoftInc", "ScanModule 2");
    EXPECT_EQ(Cap(MSG_GET, CCAP_OVK_RECOGNIZE_DIRECTION), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_CAPUNSUPPORTED);
    EXPECT_EQ(Cap(MSG_GET, CCAP_OVK_DESKEW), TWRC_SUCCESS);
}

TEST_F(QSDataSourceTest, ScanSizeAddsTheMarginAndCentresThePaper) {
    Open();
    SetCapSIntValue(Pool(), CCAP_OVKM_PAPERSIZE, 1); // A5: 6992 x 9921, centred in 10208
    SetCapSIntValue(Pool(), CCAP_OVKM_SCANAREA_X, 1000);
    SetCapSIntValue(Pool(), CCAP_OVKM_SCANAREA_WIDTH, 2000);
    SetCapSIntValue(Pool(), CCAP_OVKM_SCANAREA_HEIGHT, 3000);
    SetCapSIntValue(Pool(), CCAP_OVK_MARGINLENGTH, 1); // mm
    const SScanSize size = mDS->GetScanSize(false);
    // centre 1608; left 1608 + trunc(1000 - 47.24) = 2560; right 1608 + trunc(3047.24) = 4655
    EXPECT_EQ(size.width, 2095.0f);
    EXPECT_NEAR(size.height, 3000 + 2 * 1200 / 25.4f, 1e-2);

    // An area that leaves the paper becomes the whole paper.
    SetCapSIntValue(Pool(), CCAP_OVK_MARGINLENGTH, 0);
    SetCapSIntValue(Pool(), CCAP_OVKM_SCANAREA_X, 6000);
    EXPECT_EQ(mDS->GetScanSize(false).width, 6992.0f);
    EXPECT_EQ(Int(CCAP_OVKM_SCANAREA_X), 0);

    SetCapSIntValue(Pool(), CCAP_OVKM_SCANAREA_WIDTH, 1);
    SetCapSIntValue(Pool(), CCAP_OVKM_SCANAREA_HEIGHT, 1);
    EXPECT_EQ(mDS->GetScanSize(false).height, 76800.0f / 200); // never below 64 pixels

    SetCapSIntValue(Pool(), CCAP_OVK_DETECTPAGESIZE, 1);
    mDS->SetDetectedPageSize({1234, 5678});
    EXPECT_EQ(mDS->GetScanSize(true).width, 1234.0f);
    SetCapSIntValue(Pool(), CCAP_OVKM_SCANAREA_WIDTH, 9000); // wider than A5
    EXPECT_EQ(mDS->GetScanSize(false).width, 6992.0f);
    EXPECT_EQ(Int(CCAP_OVKM_SCANAREA_WIDTH), 6992);
}

TEST_F(QSDataSourceTest, UserPaperThatIsGoneFallsBackToTheDefaultPaper) {
    fnd::PreferencesFile prefs(mEnv.PreferencesPath());
    prefs.set("CustomPapers",
              fnd::Array{fnd::Dictionary{{"Name", "Receipt"}, {"Width", 3000}, {"Height", 9000}},
                         fnd::Dictionary{{"Name", "Banner"}, {"Width", 3000}, {"Height", 90000}}});
    ASSERT_TRUE(prefs.save());
    Open();
    SetCapSIntValue(Pool(), CCAP_OVKM_PAPERSIZE, kPaperCustom);
    SetCapStrValue(Pool(), CCAP_OVKM_CUSTOMPAGESIZENAME, EncodeCapName("Receipt"));
    EXPECT_EQ(mDS->GetCurrentPaperSize().height, 9000.0f);

    SetCapStrValue(Pool(), CCAP_OVKM_CUSTOMPAGESIZENAME, EncodeCapName("Banner")); // longer than the path
    EXPECT_EQ(mDS->GetCurrentPaperSize().width, 10200.0f);
    EXPECT_EQ(Int(CCAP_OVKM_PAPERSIZE), 9);
    EXPECT_EQ(Int(CCAP_OVKM_SCANAREA_HEIGHT), 13200);
}

TEST_F(QSDataSourceTest, MetricLocaleStartsInCentimetresOnA4) {
    setenv("LC_MEASUREMENT", "de_DE.UTF-8", 1);
    Open();
    unsetenv("LC_MEASUREMENT");
    EXPECT_EQ(Int(CCAP_OVKM_UNIT), 2);
    EXPECT_EQ(Int(CCAP_OVKM_PAPERSIZE), 0);
    ASSERT_EQ(Cap(MSG_GETDEFAULT, CCAP_OVKM_PAPERSIZE), TWRC_SUCCESS);
    EXPECT_EQ(AnswerField<TW_INT32>(kItem), 0);
    EXPECT_EQ(Int(CCAP_OVKM_SCANAREA_WIDTH), 9921);
}

TEST_F(QSDataSourceTest, HalftoneNameIsTakenInEitherStringForm) {
    Open();
    const auto currentName = [this] {
        // Answered zero-terminated, as applications on Linux read texts.
        EXPECT_EQ(Cap(MSG_GETCURRENT, ICAP_HALFTONES), TWRC_SUCCESS);
        std::string name;
        for (std::size_t i = 0; i < sizeof(TW_STR32) && AnswerField<char>(kItem + i) != 0; ++i)
            name += AnswerField<char>(kItem + i);
        return name;
    };
    TW_STR32 terminated{};
    std::strcpy(terminated, "Error Diffusion");
    ASSERT_EQ(SetOne(ICAP_HALFTONES, TWTY_STR32, terminated), TWRC_SUCCESS);
    EXPECT_EQ(currentName(), "Error Diffusion");
    TW_STR32 prefixed{};
    test::SetIdentityText(prefixed, "None");
    ASSERT_EQ(SetOne(ICAP_HALFTONES, TWTY_STR32, prefixed), TWRC_SUCCESS);
    EXPECT_EQ(currentName(), "None");
    ASSERT_EQ(SetOne(ICAP_HALFTONES, TWTY_STR32, terminated), TWRC_SUCCESS);

    // No terminating zero; a length byte past the field.
    TW_STR32 unterminated;
    std::memset(unterminated, 'E', sizeof unterminated);
    TW_STR32 tooLong{};
    test::SetIdentityText(tooLong, "None");
    tooLong[0] = 40;
    const test::OwnedHandle refused[] = {test::OneValue(TWTY_STR32, unterminated),
                                         test::OneValue(TWTY_STR32, tooLong)};
    for (const auto& container : refused) {
        EXPECT_EQ(Cap(MSG_SET, ICAP_HALFTONES, TWON_ONEVALUE, container.get()), TWRC_FAILURE);
        EXPECT_EQ(Status(), TWCC_BADVALUE);
    }
    EXPECT_EQ(currentName(), "Error Diffusion");
}

} // namespace

// A value the page pipeline cannot use is refused at MSG_SET and changes nothing; the limits themselves
// are taken.
TEST_F(QSDataSourceTest, VendorSettingsOutsideTheirLimitsAreRefused) {
    Open();
    struct SLimits {
        TW_UINT16 id;
        TW_INT32 low, high;
    };
    const SLimits limits[] = {{CCAP_OVK_EDGEEMPHASIS, 0, 5},
                              {CCAP_OVK_BLEEDTHROUGH_THRESHOLD, 1, 7},
                              {CCAP_OVK_DETECTPAGETYPE_THRESHOLD, 1, 7},
                              {CCAP_OVK_DETECTPAGETYPE_AMOUNT, 1, 7},
                              {CCAP_OVK_BLANKSKIPSLICE3, 0, 100},
                              {CCAP_OVK_PRESCAN, 0, 1},
                              {CCAP_OVK_RECOGNIZE_DIRECTION, 0, 1}};
    for (const SLimits& l : limits) {
        const std::int32_t before = Int(l.id);
        for (TW_INT32 refused : {l.low - 1, l.high + 1, TW_INT32{-100000}}) {
            EXPECT_EQ(SetInt(l.id, refused), TWRC_FAILURE) << l.id << " " << refused;
            EXPECT_EQ(Status(), TWCC_BADVALUE) << l.id;
            EXPECT_EQ(Int(l.id), before) << l.id;
        }
        for (TW_INT32 taken : {l.low, l.high}) {
            EXPECT_EQ(SetInt(l.id, taken), TWRC_SUCCESS) << l.id << " " << taken;
            EXPECT_EQ(Int(l.id), taken) << l.id;
        }
    }
}
