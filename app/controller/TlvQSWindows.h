// The data source's windows inside tollivar. The dialog announces each window before it shows it
// ("ShowQSWindowNotification") and before it takes it off ("HideQSWindowNotification"); tollivar makes
// it modal over the window in front of the user, keeping at most two at a time.
#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

class TlvQSWindows {
public:
    // frontWindow: the window a data-source window is made modal over, asked at each showing.
    explicit TlvQSWindows(std::function<QWidget*()> frontWindow);
    ~TlvQSWindows();
    TlvQSWindows(const TlvQSWindows&) = delete;
    TlvQSWindows& operator=(const TlvQSWindows&) = delete;

    void showQSWindow(QWidget* window);
    void hideQSWindow(QWidget* window);
    // True while a data-source window is shown modally.
    bool isOpenQSWin() const { return mQSMainWin || mQSSubWin; }

private:
    std::function<QWidget*()> mFrontWindow;
    QPointer<QWidget> mQSMainWin;
    QPointer<QWidget> mQSSubWin;
};
