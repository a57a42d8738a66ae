// The scan settings of a job: defaults, the stored dictionary through a real property-list file, and
// stored values that are wrong in type, range or size, which must leave the defaults in place.
#include "TlvScanSettingMdl.h"

#include "FixedLookup.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TlvScanSettingMdl throughFile(const PrivateDefaults& home, const fnd::Dictionary& dict) {
    {
        auto defaults = home.open();
        defaults->set("Job", dict);
        EXPECT_TRUE(defaults->synchronize());
    }
    const auto stored = home.open()->dictionary("Job");
    EXPECT_TRUE(stored.has_value());
    return TlvScanSettingMdl::initWithScanMdlDict(stored ? &*stored : nullptr);
}

TlvToneTable reversedTable() {
    TlvToneTable table;
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = static_cast<std::uint8_t>(255 - i);
    return table;
}

} // namespace

TEST(ScanSettingMdl, DefaultsFollowTheUsersUnitAndNilDictionaryGivesThem) {
    FixedLookup lookup;
    const TlvScanSettingMdl inches;
    EXPECT_EQ(inches.ccap_OVKM_UNIT(), 1);
    EXPECT_EQ(inches.cap_XFERCOUNT(), -1);
    EXPECT_EQ(inches.ccap_OVKM_PAPERSIZE(), -2);
    EXPECT_EQ(inches.icap_HALFTONES(), (fnd::Data{'N', 'o', 'n', 'e'}));
    EXPECT_EQ(inches.ccap_OVKM_BLUECURVE_Back()[200], 200);
    EXPECT_FALSE(inches.ccap_OVKM_FAVORITENAME().has_value());
    EXPECT_EQ(TlvScanSettingMdl::initWithScanMdlDict(nullptr), inches);

    lookup.centimeters = true;
    EXPECT_EQ(TlvScanSettingMdl().ccap_OVKM_UNIT(), 2);
    TlvToneTable table{};
    EXPECT_EQ(TlvScanSettingMdl::MakeLinearTable(table), 256);
    EXPECT_EQ(table, TlvScanSettingMdl::linearTable());
}

TEST(ScanSettingMdl, EveryFieldSurvivesAPropertyListFileWithItsWidthAndSign) {
    FixedLookup lookup;
    PrivateDefaults home;
    TlvScanSettingMdl model;
    model.setIsUseDriverSetting(true);
    model.setScnStColType(3);
    model.setScnStDirectionType(-1);
    model.setIsRevisionSlope(false);
    model.setCAP_XFERCOUNT(-1);
    model.setCCAP_OVKM_SCANAREA_X(-1);
    model.setCCAP_OVKM_SCANAREA_WIDTH(INT32_MAX);
    model.setCCAP_OVKM_GAMMAMETHOD(0xFFFFFFFFu);
    model.setICAP_PIXELTYPE(0);
    model.setICAP_XRESOLUTION(600.0f);
    model.setICAP_BRIGHTNESS_Back(-1000.0f);
    model.setCCAP_OVKM_REDGAMMA_Back(2.2f);
    model.setCCAP_OVKM_GREENCURVE(reversedTable());
    model.setICAP_HALFTONES(
        fnd::Data{'E', 'r', 'r', 'o', 'r', ' ', 'D', 'i', 'f', 'f', 'u', 's', 'i', 'o', 'n'});
    model.setCCAP_OVKM_CUSTOMPAGESIZENAME("Receipt \xE2\x80\x93 long");
    model.setCCAP_OVKM_CUSTOMGAMMANAME("Soft");
    model.setCCAP_OVKM_FAVORITENAME("");

    const fnd::Dictionary dict = model.scanMdlToDict();
    EXPECT_EQ(dict.size(), 79u);
    EXPECT_EQ(dict.get("ScnCAP_XFERCOUNTKey").asNumber()->kind(), fnd::Number::Kind::Int16);
    EXPECT_EQ(dict.get("ScnCCAP_OVKM_GAMMAMETHODKey").asNumber()->kind(), fnd::Number::Kind::UInt32);
    const TlvScanSettingMdl back = throughFile(home, dict);
    EXPECT_EQ(back, model);
    EXPECT_EQ(back.cap_XFERCOUNT(), -1);
    EXPECT_EQ(back.ccap_OVKM_GAMMAMETHOD(), 0xFFFFFFFFu);
    EXPECT_EQ(back.ccap_OVKM_FAVORITENAME(), "");
}

TEST(ScanSettingMdl, AbsentKeysKeepDefaultsAndUnsetObjectsLeaveTheirKeysOut) {
    FixedLookup lookup;
    PrivateDefaults home;
    TlvScanSettingMdl model;
    EXPECT_EQ(model.scanMdlToDict().size(), 76u); // three names unset

    model.setICAP_HALFTONES(std::nullopt);
    model.setCCAP_OVKM_GRAYCURVE(reversedTable());
    fnd::Dictionary dict = model.scanMdlToDict();
    EXPECT_EQ(dict.size(), 75u);
    EXPECT_FALSE(dict.contains("ScnICAP_HALFTONESKey"));
    EXPECT_EQ(model.copyWithZone().icap_HALFTONES(), TlvScanSettingMdl::noneHalftone());

    dict.remove("ScnCCAP_OVKM_GRAYCURVEKey");
    dict.remove("ScnMdlScnStResTypeKey");
    const TlvScanSettingMdl back = throughFile(home, dict);
    EXPECT_EQ(back.icap_HALFTONES(), TlvScanSettingMdl::noneHalftone());
    EXPECT_EQ(back.ccap_OVKM_GRAYCURVE(), TlvScanSettingMdl::linearTable());
    EXPECT_EQ(back.scnStResType(), 1);
}

TEST(ScanSettingMdl, StoredValuesOfWrongTypeOrRangeKeepTheDefaults) {
    FixedLookup lookup;
    PrivateDefaults home;
    const fnd::Dictionary hostile{
        {"ScnMdlIsUseDriverSettingKey", "YES"},
        {"ScnMdlScnStColTypeKey", 9},
        {"ScnMdlScnStPapSizeTypeKey", -1},
        {"ScnMdlScnStResTypeKey", fnd::Data{1}},
        {"ScnCAP_XFERCOUNTKey", 40000},
        {"ScnCAP_AUTOFEEDKey", -1},
        {"ScnCAP_DUPLEXENABLEDKey", 2},
        {"ScnICAP_PIXELTYPEKey", 3},
        {"ScnCCAP_OVKM_PAPERSIZEKey", 10},
        {"ScnCCAP_OVKM_SCANAREA_XKey", std::int64_t{1} << 40},
        {"ScnCCAP_OVKM_GAMMAMETHODKey", -1},
        {"ScnICAP_XRESOLUTIONKey", 1e300},
        {"ScnICAP_YRESOLUTIONKey", std::nan("")},
        {"ScnICAP_BRIGHTNESSKey", "bright"},
        {"ScnICAP_HALFTONESKey", "None"},
        {"ScnCCAP_OVKM_GRAYCURVEKey", fnd::Data(255, 7)},
        {"ScnCCAP_OVKM_REDCURVE_BackKey", fnd::Data(257, 7)},
        {"ScnCCAP_OVKM_BLUECURVEKey", 12},
        {"ScnCCAP_OVKM_CUSTOMGAMMANAMEKey", fnd::Data{'x'}},
        {"ScnCCAP_OVKM_FAVORITENAMEKey", fnd::Dictionary{{"a", 1}}},
        {"SomethingElseKey", 5},
    };
    // NaN cannot be written to a property list; the rest goes through the file.
    fnd::Dictionary storable = hostile;
    storable.remove("ScnICAP_YRESOLUTIONKey");
    EXPECT_EQ(throughFile(home, storable), TlvScanSettingMdl());
    EXPECT_EQ(TlvScanSettingMdl::initWithScanMdlDict(&hostile), TlvScanSettingMdl());
}

TEST(ScanSettingMdl, LongStoredNamesAreCutToWhatTheirRecordsHold) {
    FixedLookup lookup;
    PrivateDefaults home;
    const std::string longName(300, 'n');
    const fnd::Dictionary stored{
        {"ScnICAP_HALFTONESKey", fnd::Data(100, 'h')},
        {"ScnCCAP_OVKM_CUSTOMPAGESIZENAMEKey", longName},
        {"ScnCCAP_OVKM_CUSTOMGAMMANAMEKey", std::string(31, 'g') + "\xF0\x9F\x93\x84"}, // 31 + 2 units
        {"ScnCCAP_OVKM_FAVORITENAMEKey", std::string("Fav\xFForite")},
    };
    const TlvScanSettingMdl model = throughFile(home, stored);
    EXPECT_EQ(model.icap_HALFTONES(), fnd::Data(32, 'h'));
    EXPECT_EQ(model.ccap_OVKM_CUSTOMPAGESIZENAME(), std::string(32, 'n'));
    EXPECT_EQ(model.ccap_OVKM_CUSTOMGAMMANAME(), std::string(31, 'g'));

    TlvScanSettingMdl direct = TlvScanSettingMdl::initWithScanMdlDict(&stored);
    EXPECT_EQ(direct.ccap_OVKM_FAVORITENAME(), "Fav"); // malformed UTF-8 ends the name
    direct.setCCAP_OVKM_FAVORITENAME(longName);
    EXPECT_EQ(direct.ccap_OVKM_FAVORITENAME()->size(), 32u);
}

TEST(ScanSettingMdl, CopiesAreDeepAndEqual) {
    FixedLookup lookup;
    TlvScanSettingMdl model;
    model.setCCAP_OVKM_CUSTOMGAMMANAME("Curve A");
    TlvScanSettingMdl copy = model.copyWithZone();
    EXPECT_EQ(copy, model);
    copy.setCCAP_OVKM_CUSTOMGAMMANAME("Curve B");
    copy.setCCAP_OVKM_GRAYCURVE(reversedTable());
    EXPECT_EQ(model.ccap_OVKM_CUSTOMGAMMANAME(), "Curve A");
    EXPECT_EQ(model.ccap_OVKM_GRAYCURVE(), TlvScanSettingMdl::linearTable());
}
