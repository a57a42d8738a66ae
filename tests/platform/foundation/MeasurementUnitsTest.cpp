// The measurement unit rule that the data source and the application share: the locale's measurement
// category, judged by the C library where the locale is installed and by its territory otherwise.
#include "MeasurementUnits.h"

#include "ScopedEnv.h"

#include <gtest/gtest.h>

using namespace fnd;

TEST(MeasurementUnits, LocaleDecidesCentimetres) {
    EXPECT_TRUE(LocaleUsesMetric("de_DE.UTF-8"));
    EXPECT_TRUE(LocaleUsesMetric("fr_CA"));
    EXPECT_FALSE(LocaleUsesMetric("en_US.UTF-8"));
    EXPECT_FALSE(LocaleUsesMetric("C"));
    EXPECT_FALSE(LocaleUsesMetric("C.UTF-8"));
    EXPECT_FALSE(LocaleUsesMetric("POSIX"));
    EXPECT_FALSE(LocaleUsesMetric("en"));
}

TEST(MeasurementUnits, TheFirstSetLocaleVariableDecides) {
    ScopedEnv all("LC_ALL", nullptr);
    ScopedEnv measurement("LC_MEASUREMENT", "de_DE.UTF-8");
    ScopedEnv lang("LANG", "en_US.UTF-8");
    EXPECT_TRUE(UserMeasuresInCentimeters());
    ScopedEnv override("LC_ALL", "en_US.UTF-8");
    EXPECT_FALSE(UserMeasuresInCentimeters());
}
