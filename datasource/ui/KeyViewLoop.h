// The keyboard order of the dialog: views in reading order, rows from top to bottom and left to right
// within a row, two views sharing a row when their tops differ by at most 8 pixels.
#pragma once

#include <QList>
#include <QWidget>

// -1 when a comes before b in reading order, 1 when after, 0 when neither (same row, same x).
int ArrangeView(const QWidget* a, const QWidget* b);
// The view and all its descendants in reading order. A scroll area contributes the children of the
// widget it scrolls, not that widget itself; a control's own inner parts are not listed.
QList<QWidget*> GetDeepSubViews(QWidget* view);
// Makes Tab visit every focusable view of the window's content in reading order, the last one leading
// back to the first.
void RecalcKeyViewLoop(QWidget* window);
// True when at least one direct child of the view can take the keyboard focus.
bool IsFullKeyboardAccessInView(const QWidget* view);
