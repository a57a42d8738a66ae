// Answers to the application's alerts in window tests: act on the next alert as soon as it is on
// screen, by clicking its buttons or reading its texts, as a person would.
#pragma once

#include "Alert.h"
#include "Strings.h"
#include "Tags.h"
#include "VX_Message.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

// Runs act on the next alert as soon as it is on screen.
inline void whenAlertShows(std::function<void(appkit::Alert&)> act) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act = std::move(act)] {
        appkit::Alert* alert = VX_Message::currentPanel();
        if (!alert || !alert->isVisible())
            return;
        poll->deleteLater();
        poll->stop();
        act(*alert);
    });
    poll->start(5);
}

inline void click(appkit::Alert& alert, int buttonIndex) {
    auto* button = appkit::viewWithTag<QPushButton>(&alert, appkit::Alert::kFirstButtonTag + buttonIndex);
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
}

inline QString textOf(appkit::Alert& alert, int tag) {
    auto* label = appkit::viewWithTag<QLabel>(&alert, tag);
    return label ? label->text() : QString("<none>");
}

// Answers every alert that comes up while it lives by pressing button (0 first), counting them.
class AlertAnswerer {
public:
    explicit AlertAnswerer(int pressed) : button(pressed) {
        QObject::connect(&mPoll, &QTimer::timeout, &mPoll, [this] {
            appkit::Alert* alert = VX_Message::currentPanel();
            if (!alert || !alert->isVisible())
                return;
            ++answered;
            click(*alert, button);
        });
        mPoll.start(5);
    }

    int button;
    int answered = 0;

private:
    QTimer mPoll;
};
