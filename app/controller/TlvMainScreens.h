// The main window's views, built in code: the base view (mode buttons, information strip, step bar,
// preferences and help strip) around the place holder, and the screens the place holder shows by
// state: the top screens of both modes, and, beside the preview, the scanning, function choice,
// function check and finish screens. Controls carry their tags (TlvMainTags.h); the places other
// parts fill (job table, job information panes, preview image) are empty containers found by tag.
#pragma once

#include <QPalette>
#include <QStackedWidget>
#include <QWidget>

#include <array>

class NwAnimationImageView;
class QLabel;
class TlvExpView;
class TlvStepInfoView;
class TlvStepPartsView;

namespace tlv {

struct TlvMainScreens {
    // Builds everything into base.
    explicit TlvMainScreens(QWidget* base);

    QWidget* base;
    TlvExpView* expView;
    TlvStepInfoView* stepInfoView;
    std::array<TlvStepPartsView*, 4> stepParts;
    std::array<QLabel*, 4> stepLabels; // 103 to 106
    // The place holder: a top screen, or the preview beside the screen of the state.
    QStackedWidget* mainDummy;
    QWidget* foaTop;
    QWidget* jobTop;
    QWidget* work;
    QWidget* preview;
    QStackedWidget* side; // beside the preview
    QWidget* scanning;
    QWidget* scanningJobPlace;
    QWidget* selectFunc;
    QWidget* funcHolder; // takes the controller's function view
    QWidget* finish;
    NwAnimationImageView* animScn;
    NwAnimationImageView* animFin;
};

// The buttons' own line images, where the icon theme has none, in the ink of palette (a dark one makes
// them light, as a theme's icons are).
void inkOwnIcons(QWidget* base, const QPalette& palette);

} // namespace tlv
