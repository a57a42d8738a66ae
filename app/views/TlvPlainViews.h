// The plain drawn views of the main window, each a fill or a frame in one of the fixed grey tones:
// a frame (TlvFrameView), the backgrounds of the formula area and of the main place holder, the
// preferences help strip with its three-line top edge, and the preview's tool bar strip (the last
// two are containers of buttons).
#pragma once

#include "Container.h"

#include <QWidget>

class TlvFrameView : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent* event) override;
};

class TlvImgFormulaView : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent* event) override;
};

class TlvMainDummyView : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent* event) override;
};

class TlvPrefHelpView : public Container {
    Q_OBJECT
public:
    using Container::Container;

protected:
    void paintEvent(QPaintEvent* event) override;
};

class TlvToolBarView : public Container {
    Q_OBJECT
public:
    using Container::Container;

protected:
    void paintEvent(QPaintEvent* event) override;
};
