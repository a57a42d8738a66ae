// The table of the job lists: it turns a click on a row, a right click (or control-click) and the
// delete key into its signals, and can run an action of its owner on a double click. Each handling is
// switched on by its flag in the record that referUseCustomInfo answers; a flag acts only when it holds
// exactly 1, so a stray value leaves Qt's own handling in place.
#pragma once

#include <QTableWidget>

#include <cstdint>
#include <functional>

class TlvTableView : public QTableWidget {
    Q_OBJECT
public:
    struct SUseCustomInfo {
        std::uint8_t isUseCstmRightMouseDown = 0;
        std::uint8_t isUseCstmMouseDown = 0;
        std::uint8_t isUseCstmPerformKeyEquivalent = 0;
        // Tab and back-tab leave the table for the next or previous control instead of walking cells.
        std::uint8_t isUseCstmKeyDown = 0;
    };

    explicit TlvTableView(QWidget* parent = nullptr);

    SUseCustomInfo* referUseCustomInfo() { return &mUseCustomInfo; }
    void setCustomDoubleAction(std::function<void()> action) { mCustomDoubleAction = std::move(action); }

    // Selects exactly the row under pos (viewport coordinates) and signals rowSelected;
    // with no row there, clears the selection. windowPoint is pos in the window's coordinates, (0, 0)
    // without a row. Answers whether a row was hit.
    bool pointOfEvent(QPoint pos, QPoint& windowPoint);

signals:
    // A click on a column's header asks for the rows in that column's order: the same column again
    // turns the order round. The owner sorts its rows by its own keys.
    void sortDescriptorsDidChange(int column, Qt::SortOrder order);
    // A clicked row.
    void rowSelected(int row);
    // A right click on a row, at windowPoint in the window's coordinates.
    void rowRightClicked(QPoint windowPoint);
    // The delete key while the table has the focus.
    void deleteKeyPressed();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void rightClick(QPoint pos);

    SUseCustomInfo mUseCustomInfo;
    std::function<void()> mCustomDoubleAction;
};
