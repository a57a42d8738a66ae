// A push button drawn from images: one per state (normal, pressed, disabled, rolled over, keyboard
// focus, and the same for the "on" state of a toggle), named by the button IDs an interface file
// writes into the title as "TEXT!PARAM$$REST". The title (TEXT, and "$$REST" when there is one) is
// drawn over the image; transparent pixels of the image let clicks through to what lies behind.
#pragma once

#include "RollOver.h"
#include "UButtonCell.h"

#include <QAbstractButton>
#include <QString>

#include <cstdint>
#include <memory>
#include <string_view>

class UButton : public QAbstractButton, public RollOver {
    Q_OBJECT
public:
    explicit UButton(QWidget* parent = nullptr);

    // The title of an interface file split into what the button shows and its image parameter.
    struct NibTitle {
        QString title;
        QString param;
    };
    static NibTitle splitNibTitle(const QString& raw);

    // Takes the current text as the interface file's title: keeps the visible part as the title and
    // loads the images its parameter names. Called once, after the text is set.
    void awakeFromNib();

    const QString& imageParam() const { return mImageParam; }
    const UButtonCell& cell() const { return *mCell; }
    // The state code the button shows now.
    std::uint32_t cellState() const;
    // Accessible name and tool tip from the string table, for what the image alone cannot say.
    void setDescriptionKey(std::string_view key);

    bool isRollOvered() const override { return mCell->buttonCellAttribute(UButtonCell::kRolledOver); }
    // Only for buttons whose images take roll-over; a disabled button is never rolled over.
    void setRollOvered(bool rolledOver) override;

    QSize sizeHint() const override;
    // Where the face lies in the button now (the whole button when it has none), and the title on it.
    QRect faceRect() const;
    QRectF titleRect() const;

protected:
    UButton(std::unique_ptr<UButtonCell> cell, QWidget* parent);

    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    // The image for the current state and where it is drawn: centred across, resting on the bottom; the
    // title is centred on it, wherever the layout puts the button.
    QPixmap currentImage(qreal dpr) const;
    // The room the title takes where the cell places it, with a margin round it.
    QSize titleRoom() const;
    // The size a single face of that drawn size takes for the title.
    QSize faceFor(QSize drawn) const;
    QPoint imageOrigin(const QPixmap& image) const;
    QRect faceRect(const QPixmap& image) const;
    QRectF titleRectOn(const QRect& face) const;

    std::unique_ptr<UButtonCell> mCell;
    QString mImageParam;
};
