// The real data source loaded into a Qt program only for its button: it answers at once without a
// scanner and brings up no window of its own.
#include "QtTestApp.h"
#include "Tapwell_Utility.h"

#include <QTimer>

#include <gtest/gtest.h>

namespace tapwell {
namespace {

TEST(RealDataSource, ButtonReadWithoutScannerOpensNoWindowAndLeavesTheEventLoopWorking) {
    testApplication();
    ASSERT_NE(Tapwell_Utility::dsBtnFunctionCheck(), nullptr) << Tapwell_Utility::dataSourceFolder();
    std::uint32_t status = 0;
    std::uint32_t location = 0;
    const int result = Tapwell_Utility::dsButtonStatusCheck(&status, &location);
    EXPECT_TRUE(result == -1 || result == -2 || result == -3) << result;
    EXPECT_EQ(status, 0u);
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());

    bool fired = false;
    QTimer::singleShot(0, [&fired] { fired = true; });
    QCoreApplication::processEvents();
    EXPECT_TRUE(fired);
}

} // namespace
} // namespace tapwell
