// Request records are accepted only with the size word of the layout built here.
#include "QS880Records.h"
#include "RecordSize.h"

#include <gtest/gtest.h>

using namespace Ovk::Pixen;
using namespace Ovk::Pixen::QS880;

TEST(RequestRecords, SizeWordMustMatchTheLayoutAsBuilt) {
    tagFILTERSIMPLEXINFO simplex{};
    simplex.ulSize = sizeof simplex;
    EXPECT_EQ(checkRecordSize<tagFILTERSIMPLEXINFO>(&simplex), RTN_OK);
    simplex.ulSize = 180; // the size in a build with 4-byte pointers
    EXPECT_EQ(checkRecordSize<tagFILTERSIMPLEXINFO>(&simplex), sizeof(void*) == 4 ? RTN_OK : RTN_PAR);
    simplex.ulSize = sizeof simplex - 4;
    EXPECT_EQ(checkRecordSize<tagFILTERSIMPLEXINFO>(&simplex), RTN_PAR);
    EXPECT_EQ(checkRecordSize<tagFILTERSIMPLEXINFO>(nullptr), RTN_PAR);

    tagFILTERDUPLEXINFO duplex{};
    duplex.ulSize = sizeof simplex;
    EXPECT_EQ(checkRecordSize<tagFILTERDUPLEXINFO>(&duplex), RTN_PAR);

    tagADJUSTINFO adjust{};
    adjust.ulSize = 60;
    EXPECT_EQ(checkRecordSize<tagADJUSTINFO>(&adjust), RTN_OK);
}

TEST(RequestRecords, ShadingRecordStartsWithItsSizeAndEmptyImages) {
    const tagSHADINGINFO shading;
    EXPECT_EQ(checkRecordSize<tagSHADINGINFO>(&shading), RTN_OK);
    EXPECT_TRUE(shading.imgWhite.isNull());
    EXPECT_TRUE(shading.imgBlack.isNull());
}
