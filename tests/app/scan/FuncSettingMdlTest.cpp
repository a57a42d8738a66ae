// The output-function settings: language defaults, the stored dictionary through a real property
// list file, stored values that are wrong, blank jobs and the reset to one function type.
#include "TlvFuncSettingMdl.h"

#include "FixedLookup.h"

#include <gtest/gtest.h>

namespace {

TlvFuncSettingMdl throughFile(const PrivateDefaults& home, const fnd::Dictionary& dict, bool blank = false) {
    {
        auto defaults = home.open();
        defaults->set("Func", dict);
        EXPECT_TRUE(defaults->synchronize());
    }
    const auto stored = home.open()->dictionary("Func");
    return TlvFuncSettingMdl::initWithFuncMdlDict(stored ? &*stored : nullptr, blank);
}

} // namespace

TEST(FuncSettingMdl, EntriesOfFunctionTypes) {
    EXPECT_EQ(TlvFuncSettingMdl::fIndexByFType(0), 0);
    EXPECT_EQ(TlvFuncSettingMdl::fIndexByFType(1), 1);
    EXPECT_EQ(TlvFuncSettingMdl::fIndexByFType(2), -1);
    EXPECT_EQ(TlvFuncSettingMdl::fIndexByFType(3), 2);
    EXPECT_EQ(TlvFuncSettingMdl::fIndexByFType(4), -1);
    EXPECT_EQ(TlvFuncSettingMdl::fIndexByFType(-1), -1);
}

TEST(FuncSettingMdl, LanguageGivesDateLayoutAndRecognitionLanguage) {
    FixedLookup lookup;
    const std::pair<const char*, std::pair<int, int>> cases[] = {
        {"Japanese", {3, 0}}, {"English", {1, 2}}, {"Korean", {0, 2}}, {"French", {2, 4}},
        {"zh_CN", {0, 8}},    {"zh_TW", {0, 9}},   {"Dutch", {2, 7}},  {"", {2, 2}}};
    for (const auto& [language, expected] : cases) {
        lookup.language = language;
        const TlvFuncSettingMdl model;
        EXPECT_EQ(model.dateTimeType(2), expected.first) << language;
        EXPECT_EQ(model.ff_OCRLangType(0), expected.second) << language;
    }
}

TEST(FuncSettingMdl, RoundTripThroughAPropertyListFile) {
    FixedLookup lookup;
    PrivateDefaults home;
    lookup.printer = "Office";
    lookup.printSettings = fnd::Dictionary{{"Copies", 2}};
    TlvFuncSettingMdl model;
    model.setPartFileName(" Scan ", 0);
    model.setFreeFileName(std::nullopt, 1);
    model.setFileSavePath("/home/u/Scans", 2);
    model.setStartNum(0x7FFFFFFF, 2);
    model.setIsAddOCR(false, 1);
    model.setMultiPageNum_TIFF(150, 0);
    model.setMultiPageNum_PDF(0, 1);
    model.setApplicationName(std::nullopt);
    model.setPrintLayoutType(-1);
    model.setImgFileName("Scan.pdf", 0);

    fnd::Dictionary dict = model.funcMdlToDict();
    // Unset names leave their keys out, and a missing key reads as the default, "".
    EXPECT_FALSE(dict.contains("FncMdlFreeFileNameKey1"));
    EXPECT_FALSE(dict.contains("FncMdlApplicationNameKey"));
    EXPECT_EQ(dict.size(), 3u * 20 - 1 + 4 - 1);
    TlvFuncSettingMdl back = throughFile(home, dict);
    EXPECT_EQ(back.freeFileName(1, false), "");
    EXPECT_EQ(back.applicationName(), "");
    EXPECT_EQ(back.multiPageNum_TIFF(0), 99);
    EXPECT_EQ(back.multiPageNum_PDF(1), 1);
    EXPECT_EQ(back.printInfoDict()->get("Copies").asInt32(), 2);

    model.setFreeFileName("Free", 1);
    model.setApplicationName("/usr/share/applications/viewer.desktop");
    back = throughFile(home, model.funcMdlToDict());
    back.setImgFileName("", 0); // the shown name is not stored
    model.setImgFileName("", 0);
    EXPECT_EQ(back, model);

    lookup.printer.reset(); // unset printer is stored as "" and comes back as ""
    const TlvFuncSettingMdl noPrinter;
    EXPECT_EQ(throughFile(home, noPrinter.funcMdlToDict()).printerName(), "");
}

TEST(FuncSettingMdl, StoredValuesOfWrongTypeOrRangeKeepDefaults) {
    FixedLookup lookup;
    PrivateDefaults home;
    const fnd::Dictionary hostile{
        {"FncMdlPartFileNameKey0", 12},
        {"FncMdlIsUseFNSettingKey0", "NO"},
        {"FncMdlDateTimeTypeKey0", 7},
        {"FncMdlDigitTypeKey0", 99},
        {"FncMdlStartNumKey0", -5},
        {"FncMdlFileFormatTypeKey0", 5},
        {"FncMdlFF_OCRLangTypeKey0", 10},
        {"FncMdlCompRate_JPEGKey0", std::int64_t{1} << 33},
        {"FncMdlFreeFileNameKey0", fnd::Data{1}},
        {"FncMdlPrintInfoDictKey", "dict"},
        {"FncMdlPrintLayoutTypeKey", 2.5},
        {"FncMdlApplicationNameKey", fnd::Array{}},
        {"FncMdlMultiPageNum_PDFKey9", 4},
    };
    EXPECT_EQ(throughFile(home, hostile), TlvFuncSettingMdl());
    const fnd::Dictionary clamped{{"FncMdlMultiPageNum_PDFKey2", 500}};
    EXPECT_EQ(throughFile(home, clamped).multiPageNum_PDF(2), 99);
}

TEST(FuncSettingMdl, BlankJobTakesThisMachinesLanguageDefaultsAndPrinter) {
    FixedLookup lookup;
    PrivateDefaults home;
    lookup.language = "Japanese";
    lookup.printer = "Elsewhere";
    TlvFuncSettingMdl stored;
    stored.setDateTimeType(3, 1);
    stored.setFF_OCRLangType(9, 1);
    stored.setPartFileName("Kept", 1);
    const fnd::Dictionary dict = stored.funcMdlToDict();

    lookup.printer = "Here";
    const TlvFuncSettingMdl job = throughFile(home, dict);
    EXPECT_EQ(job.dateTimeType(1), 3);
    EXPECT_EQ(job.ff_OCRLangType(1), 9);
    EXPECT_EQ(job.printerName(), "Elsewhere");

    lookup.language = "German";
    const TlvFuncSettingMdl blank = throughFile(home, dict, true);
    EXPECT_EQ(blank.dateTimeType(1), 2);
    EXPECT_EQ(blank.ff_OCRLangType(1), 5);
    EXPECT_EQ(blank.printerName(), "Here");
    EXPECT_EQ(blank.partFileName(1), "Kept");
    EXPECT_EQ(throughFile(home, dict).dateTimeType(1), 0); // the localised layout only under Japanese
}

TEST(FuncSettingMdl, AccessorsOutsideTheThreeEntriesChangeNothing) {
    FixedLookup lookup;
    TlvFuncSettingMdl model;
    const TlvFuncSettingMdl before = model;
    model.setFileFormatType(2, 3);
    model.setStartNum(5, -1);
    model.setMultiPageNum_PDF(5, 7);
    EXPECT_EQ(model, before);
    EXPECT_EQ(model.fileFormatType(-1), 0);
    EXPECT_EQ(model.multiPageNum_TIFF(3), 1);
}

TEST(FuncSettingMdl, ClearingForMailKeepsTheMailEntrysOwnFormat) {
    FixedLookup lookup;
    lookup.printer = "Office";
    TlvFuncSettingMdl model;
    for (int e = 0; e < TlvFuncSettingMdl::sFuncIndexSum; ++e) {
        model.setPartFileName("Part", e);
        model.setFileFormatType(1, e);
        model.setMultiPageNum_TIFF(7, e);
        model.setMultiPageNum_PDF(8, e);
        model.setCompRate_JPEG(5, e);
        model.setIsPictureFolderSave(false, e);
        model.setFileSavePath("/x", e);
    }
    model.setPrinterName("Other");
    model.setPrintLayoutType(1);
    model.setApplicationName("/usr/share/applications/viewer.desktop");
    model.clearExceptTargetFunc(1);

    const TlvFuncSettingMdl fresh;
    EXPECT_EQ(model.entry(0), fresh.entry(0));
    EXPECT_EQ(model.entry(2), fresh.entry(2));
    EXPECT_EQ(model.partFileName(1), "Part");
    EXPECT_EQ(model.multiPageNum_TIFF(1), 7);
    EXPECT_EQ(model.multiPageNum_PDF(1), 1);
    EXPECT_EQ(model.compRate_JPEG(1), 3);
    EXPECT_TRUE(model.isPictureFolderSave(1));
    EXPECT_EQ(model.fileSavePath(1), "");
    EXPECT_EQ(model.printerName(), "Office");
    EXPECT_EQ(model.printLayoutType(), 0);
    EXPECT_EQ(model.applicationName(), "");

    model.setPrinterName("Other");
    model.clearExceptTargetFunc(2); // print keeps its settings and resets every entry
    EXPECT_EQ(model.printerName(), "Other");
    EXPECT_EQ(model.entry(1), fresh.entry(1));
}
