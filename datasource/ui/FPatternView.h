// A view filled with a colour or a tiled image, the tiles lined up with the window so that neighbouring
// pattern views join without a seam.
#pragma once

#include <QBrush>
#include <QWidget>

class ComOrvikElectronicsK3100FPatternView final : public QWidget {
public:
    explicit ComOrvikElectronicsK3100FPatternView(QWidget* parent = nullptr);

    void setColor(const QColor& color);
    void setPatternImage(const QPixmap& image);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QBrush mPattern{Qt::white};
};
