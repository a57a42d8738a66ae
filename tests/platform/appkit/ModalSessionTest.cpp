// A modal session pumped by its owner: windows stay alive between slices and the session ends when
// asked or when its window goes away.
#include "ModalSession.h"
#include "QtTestApp.h"

#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

class ModalSessionTest : public testing::Test {
protected:
    void SetUp() override { testApplication(); }
};

TEST_F(ModalSessionTest, PumpsEventsUntilStopped) {
    QPushButton stop("Stop");
    appkit::ModalSession session(&stop);
    EXPECT_EQ(stop.windowModality(), Qt::ApplicationModal);
    QObject::connect(&stop, &QPushButton::clicked, [&] { session.stop(); });
    QTimer::singleShot(30, &stop, &QPushButton::click);
    int slices = 0;
    while (session.run() && slices < 500)
        ++slices;
    EXPECT_FALSE(session.isRunning());
    EXPECT_LT(slices, 500);
}

TEST_F(ModalSessionTest, EndsWhenItsWindowIsDeleted) {
    auto panel = std::make_unique<QWidget>();
    appkit::ModalSession session(panel.get());
    EXPECT_TRUE(session.isRunning());
    QTimer::singleShot(0, [&] { panel.reset(); });
    int slices = 0;
    while (session.run() && slices < 500)
        ++slices;
    EXPECT_FALSE(session.isRunning());
}

TEST_F(ModalSessionTest, GivesTheWindowItsModalityBack) {
    QWidget panel;
    {
        appkit::ModalSession session(&panel);
        session.run();
    }
    EXPECT_EQ(panel.windowModality(), Qt::NonModal);
    EXPECT_TRUE(panel.isVisible());
}

} // namespace
