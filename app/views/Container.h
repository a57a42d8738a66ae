// A view that groups image buttons: it highlights the control under the mouse (the first of its direct
// children that takes roll-over and is hit, only while its window is active) and, once asked to, moves
// keyboard focus among its direct child buttons with the arrow keys as over a grid.
// Roll-over follows the pointer's events, so an idle container sets no timer and never wakes.
#pragma once

#include "SiblingSearch.h"

#include <QAbstractButton>
#include <QPoint>
#include <QWidget>

#include <optional>

class Container : public QWidget {
    Q_OBJECT
public:
    explicit Container(QWidget* parent = nullptr);

    // Arrow-key selection starts off (the children keep Qt's own arrow keys); wrapping starts on.
    void useArrawKeySelection(bool on) { mArrowKeySelection = on; }
    void setLoopSelectable(bool on) { mIsLoopSelectable = on; }

    // The direct child button the key moves to from item (null: from no button yet); null for none.
    QAbstractButton* findNearestSiblingItem(QWidget* item, ArrowKey key) const;
    // Brings the highlight in line with the pointer at global (none: the pointer is not over us).
    void rollOverTest(std::optional<QPoint> global);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void childEvent(QChildEvent* event) override;

private:
    // Moves focus for an arrow key pressed on the direct child focus; false when it does not apply.
    bool performKeyEquivalent(QWidget* focus, const QKeyEvent* event);
    // Roll-over bookkeeping for a pointer event seen by us or a child; true when it was one.
    bool trackPointer(const QEvent* event);

    bool mArrowKeySelection = false;
    bool mIsLoopSelectable = true;
    std::optional<QPoint> mPointer; // last pointer position over us (global), none when outside
};
