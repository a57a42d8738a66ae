// The dialog's own images: SVG files among the data source's resources, drawn by scripts/draw-images,
// rendered at the screen's scale so that they stay crisp at 200%.
#pragma once

#include <QIcon>
#include <QString>
#include <QWidget>

#include <array>

// The image of that name (without extension); null when the file is missing.
QIcon QSUIImage(const QString& name);
// Its natural size in device-independent pixels; empty when the file is missing.
QSize QSUIImageSize(const QString& name);

// Gives the roll-over button with that tag in view its six images by state (normal, mouse over, focus,
// both, disabled, pressed; null: none for that state) and turns roll-over on; the button is at least as
// large as its normal image. A view without such a button is left as it is.
void SetupRollOverButton(QWidget* view, int tag, const std::array<const char*, 6>& names);

// Lets the image view with that tag in view show normal while enabled and disabled while not.
void SetupStateImages(QWidget* view, int tag, const char* normal, const char* disabled);
