// Owns a top-level widget that a window may adopt for a while: a panel shown modal over a window
// becomes its child, so it can die with that window before its owner lets it go.
#pragma once

#include <QPointer>

namespace appkit {

template <typename T> class OwnedWidget {
public:
    explicit OwnedWidget(T* widget) : widget_(widget) {}
    ~OwnedWidget() { delete widget_.data(); }
    OwnedWidget(const OwnedWidget&) = delete;
    OwnedWidget& operator=(const OwnedWidget&) = delete;

    T* get() const { return widget_.data(); }
    T* operator->() const { return widget_.data(); }

private:
    QPointer<T> widget_;
};

} // namespace appkit
