#include "TlvTableView.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {

bool isOn(std::uint8_t flag) {
    return flag == 1;
}

// The control that keys go to in its window, whether or not the window is the active one.
bool isFirstResponder(QWidget* widget) {
    return widget->window()->focusWidget() == widget;
}

} // namespace

TlvTableView::TlvTableView(QWidget* parent) : QTableWidget(parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();
    setShowGrid(false);
    QHeaderView* header = horizontalHeader();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    // A click moves the indicator to its column, or turns it round on the same column.
    connect(header, &QHeaderView::sortIndicatorChanged, this,
            [this](int column, Qt::SortOrder order) { emit sortDescriptorsDidChange(column, order); });
}

bool TlvTableView::pointOfEvent(QPoint pos, QPoint& windowPoint) {
    const int row = rowAt(pos.y());
    if (row < 0) {
        clearSelection();
        setCurrentIndex(QModelIndex());
        windowPoint = QPoint();
        return false;
    }
    selectRow(row);
    emit rowSelected(row);
    windowPoint = viewport()->mapTo(window(), pos);
    return true;
}

void TlvTableView::rightClick(QPoint pos) {
    if (!isFirstResponder(this))
        setFocus(Qt::MouseFocusReason);
    QPoint point;
    if (!pointOfEvent(pos, point))
        return;
    emit rowRightClicked(point);
}

void TlvTableView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton && isOn(mUseCustomInfo.isUseCstmRightMouseDown)) {
        rightClick(event->position().toPoint());
        return;
    }
    if (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ControlModifier) &&
        isOn(mUseCustomInfo.isUseCstmMouseDown)) {
        rightClick(event->position().toPoint());
        return;
    }
    QTableWidget::mousePressEvent(event);
}

void TlvTableView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableWidget::mouseDoubleClickEvent(event);
    if (isOn(mUseCustomInfo.isUseCstmMouseDown) && mCustomDoubleAction &&
        rowAt(event->position().toPoint().y()) >= 0)
        mCustomDoubleAction();
}

void TlvTableView::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (isOn(mUseCustomInfo.isUseCstmPerformKeyEquivalent) &&
        (key == Qt::Key_Delete || key == Qt::Key_Backspace) && isFirstResponder(this)) {
        emit deleteKeyPressed();
        return;
    }
    if (isOn(mUseCustomInfo.isUseCstmKeyDown) && (key == Qt::Key_Tab || key == Qt::Key_Backtab)) {
        focusNextPrevChild(key == Qt::Key_Tab);
        return;
    }
    QTableWidget::keyPressEvent(event);
}

void TlvTableView::contextMenuEvent(QContextMenuEvent* event) {
    // The right click already posted its notification; Qt's context-menu request would come twice.
    if (isOn(mUseCustomInfo.isUseCstmRightMouseDown))
        event->accept();
    else
        QTableWidget::contextMenuEvent(event);
}
