// The widget an advanced settings pane scrolls (class "NwScrollableView" in the interface file). It
// makes the pane work with the keyboard: with full keyboard access on, the pane itself takes the focus
// and scrolls a line per arrow key, a ring round its scroll area shows that focus, and a control inside
// that takes the focus is scrolled into view, with some room above and below. Main thread only.
#pragma once

#include <QPointer>
#include <QScrollArea>
#include <QTimer>
#include <QWidget>

// The frame set round a pane's scroll area, to draw the focus ring in its margin.
class ComOrvikElectronicsK3100NwFocusRingView final : public QWidget {
public:
    static constexpr int kRingMargin = 6;
    explicit ComOrvikElectronicsK3100NwFocusRingView(QWidget* parent = nullptr) : QWidget(parent) {}
    // The scroll area inside, or null.
    QScrollArea* scrollArea() const;
    // True when the ring would be drawn now.
    bool showsRing() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

class ComOrvikElectronicsK3100NwScrollableView final : public QWidget {
public:
    // Room kept above and below a control scrolled into view.
    static constexpr int kFocusMargin = 26;
    // Focus changes closer together than this scroll once, to the last control.
    static constexpr int kScrollDelayMs = 100;

    explicit ComOrvikElectronicsK3100NwScrollableView(QWidget* parent = nullptr);
    // Stops following the focus before its controls go: the focus leaving one of them as it goes must not
    // reach this view, of which only the QWidget is left by then.
    ~ComOrvikElectronicsK3100NwScrollableView() override;

    // Wraps the scroll area this view is the widget of in a ring frame; nothing without one, or twice.
    void setup();
    ComOrvikElectronicsK3100NwFocusRingView* focusRingView() const { return mFocusRingView; }
    QScrollArea* scrollArea() const;
    bool takesKeyboardFocus() const;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void focusChanged(QWidget* now);
    void scrollToFocusedControl();
    void updateRing();

    QPointer<ComOrvikElectronicsK3100NwFocusRingView> mFocusRingView;
    QTimer mScrollToFocus;
    QMetaObject::Connection mFollowFocus; // to the application's focus changes
};

// The scroll area of a pane (class "NwScrollArea" in the interface file): it asks for room for all of
// its pane, and scrolls only when the window gives it less. At the least it wants its pane's width (a
// screen too small for that still gets a scroll bar) and the height of a few lines.
class ComOrvikElectronicsK3100NwScrollArea final : public QScrollArea {
public:
    explicit ComOrvikElectronicsK3100NwScrollArea(QWidget* parent = nullptr) : QScrollArea(parent) {}
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    // A pane whose own layout changed asks its window again for room.
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Sets up every scrollable view in the window, once its interface file has been loaded.
void SetupScrollableViews(QWidget* window);
