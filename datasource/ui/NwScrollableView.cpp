#include "NwScrollableView.h"

#include "KeyViewLoop.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

using ScrollableView = ComOrvikElectronicsK3100NwScrollableView;
using FocusRingView = ComOrvikElectronicsK3100NwFocusRingView;

namespace {

// How far to scroll so that first..last shows in shownFirst..shownLast, moving the least; when it
// cannot all show, its start does.
int ScrollDelta(int first, int last, int shownFirst, int shownLast) {
    if (first < shownFirst || last - first > shownLast - shownFirst)
        return first - shownFirst;
    return last > shownLast ? last - shownLast : 0;
}

void ScrollBy(QScrollBar* bar, int delta) {
    bar->setValue(bar->value() + delta);
}

} // namespace

QScrollArea* FocusRingView::scrollArea() const {
    return findChild<QScrollArea*>(QString(), Qt::FindDirectChildrenOnly);
}

bool FocusRingView::showsRing() const {
    const QScrollArea* area = scrollArea();
    const auto* view = area ? dynamic_cast<const ScrollableView*>(area->widget()) : nullptr;
    return view && isActiveWindow() && view->takesKeyboardFocus() && view->hasFocus();
}

void FocusRingView::paintEvent(QPaintEvent*) {
    if (!showsRing())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(palette().color(QPalette::Highlight), kRingMargin / 2.0);
    painter.setPen(pen);
    const qreal inset = kRingMargin / 4.0;
    painter.drawRoundedRect(
        QRectF(scrollArea()->geometry()).adjusted(-inset * 3, -inset * 3, inset * 3, inset * 3), 3, 3);
}

ScrollableView::ComOrvikElectronicsK3100NwScrollableView(QWidget* parent) : QWidget(parent) {
    mScrollToFocus.setSingleShot(true);
    mScrollToFocus.setInterval(kScrollDelayMs);
    QObject::connect(&mScrollToFocus, &QTimer::timeout, this, [this] { scrollToFocusedControl(); });
    mFollowFocus = QObject::connect(qApp, &QApplication::focusChanged, this,
                                    [this](QWidget*, QWidget* now) { focusChanged(now); });
}

ScrollableView::~ComOrvikElectronicsK3100NwScrollableView() {
    QObject::disconnect(mFollowFocus);
}

QScrollArea* ScrollableView::scrollArea() const {
    QWidget* viewport = parentWidget();
    auto* area = viewport ? qobject_cast<QScrollArea*>(viewport->parentWidget()) : nullptr;
    return area && area->widget() == this ? area : nullptr;
}

bool ScrollableView::takesKeyboardFocus() const {
    return IsFullKeyboardAccessInView(this);
}

void ScrollableView::setup() {
    QScrollArea* area = scrollArea();
    if (!area || mFocusRingView)
        return;
    QWidget* holder = area->parentWidget();
    auto* ring = new FocusRingView(holder);
    ring->setSizePolicy(area->sizePolicy());
    if (QLayout* layout = holder ? holder->layout() : nullptr) {
        delete layout->replaceWidget(area, ring);
    } else {
        ring->setGeometry(area->geometry().adjusted(-FocusRingView::kRingMargin, -FocusRingView::kRingMargin,
                                                    FocusRingView::kRingMargin, FocusRingView::kRingMargin));
    }
    auto* frame = new QVBoxLayout(ring);
    frame->setContentsMargins(FocusRingView::kRingMargin, FocusRingView::kRingMargin,
                              FocusRingView::kRingMargin, FocusRingView::kRingMargin);
    frame->addWidget(area);
    ring->setVisible(!area->isHidden());
    mFocusRingView = ring;
    setFocusPolicy(takesKeyboardFocus() ? Qt::StrongFocus : Qt::NoFocus);
}

bool ScrollableView::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
        updateRing();
        break;
    case QEvent::ChildAdded:
    case QEvent::ChildRemoved:
        // Whether the pane may take the focus follows from the controls it holds.
        setFocusPolicy(takesKeyboardFocus() ? Qt::StrongFocus : Qt::NoFocus);
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void ScrollableView::updateRing() {
    if (mFocusRingView)
        mFocusRingView->update();
}

void ScrollableView::keyPressEvent(QKeyEvent* event) {
    QScrollArea* area = scrollArea();
    if (!area || !hasFocus() || !takesKeyboardFocus()) {
        QWidget::keyPressEvent(event);
        return;
    }
    QScrollBar* vertical = area->verticalScrollBar();
    QScrollBar* horizontal = area->horizontalScrollBar();
    switch (event->key()) {
    case Qt::Key_Up:
        ScrollBy(vertical, -vertical->singleStep());
        break;
    case Qt::Key_Down:
        ScrollBy(vertical, vertical->singleStep());
        break;
    case Qt::Key_Left:
        ScrollBy(horizontal, -horizontal->singleStep());
        break;
    case Qt::Key_Right:
        ScrollBy(horizontal, horizontal->singleStep());
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void ScrollableView::focusChanged(QWidget* now) {
    if (now && now != this && isAncestorOf(now))
        mScrollToFocus.start(); // restarting drops the scroll still pending
}

void ScrollableView::scrollToFocusedControl() {
    QScrollArea* area = scrollArea();
    QWidget* focused = QApplication::focusWidget();
    if (!area || !focused || focused == this || !isAncestorOf(focused))
        return;
    const QWidget* viewport = area->viewport();
    const QRect visible(mapFrom(viewport, QPoint(0, 0)), viewport->size());
    const QRect control(focused->mapTo(this, QPoint(0, 0)), focused->size());
    if (visible.contains(control))
        return;
    // Room above and below, never beyond the pane; sideways only the control itself.
    const QRect wanted = control.adjusted(0, -kFocusMargin, 0, kFocusMargin).intersected(rect());
    ScrollBy(area->verticalScrollBar(),
             ScrollDelta(wanted.top(), wanted.bottom(), visible.top(), visible.bottom()));
    ScrollBy(area->horizontalScrollBar(),
             ScrollDelta(wanted.left(), wanted.right(), visible.left(), visible.right()));
}

QSize ComOrvikElectronicsK3100NwScrollArea::sizeHint() const {
    const QSize pane =
        widget() ? widget()->sizeHint().expandedTo(widget()->minimumSizeHint()) : QScrollArea::sizeHint();
    const int frame = 2 * frameWidth();
    return {pane.width() + frame + verticalScrollBar()->sizeHint().width(), pane.height() + frame};
}

QSize ComOrvikElectronicsK3100NwScrollArea::minimumSizeHint() const {
    const QSize least = QScrollArea::minimumSizeHint();
    return widget() ? QSize(std::max(least.width(), widget()->minimumSizeHint().width() + 2 * frameWidth()),
                            least.height())
                    : least;
}

bool ComOrvikElectronicsK3100NwScrollArea::eventFilter(QObject* watched, QEvent* event) {
    if (watched == widget() && event->type() == QEvent::LayoutRequest)
        updateGeometry();
    return QScrollArea::eventFilter(watched, event);
}

void SetupScrollableViews(QWidget* window) {
    if (!window)
        return;
    for (QWidget* child : window->findChildren<QWidget*>())
        if (auto* view = dynamic_cast<ScrollableView*>(child))
            view->setup();
}
