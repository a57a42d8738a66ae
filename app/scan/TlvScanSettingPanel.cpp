// The scan-settings view and its panel, built in code: a form of labels and controls, the direction
// as two choices with their paper pictures, the switch to the data source's settings with its state
// text and button, and the panel's Cancel and OK. Every control carries its tag; texts are keys.
#include "TlvScanSettingPanel.h"

#include "TlvScanSettingCntlr.h"

#include "DialogButtons.h"
#include "Strings.h"
#include "Tags.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <initializer_list>

namespace {

using Cntlr = TlvScanSettingCntlr;

using appkit::tagged;

QComboBox* popUp(int tag, std::initializer_list<const char*> keys) {
    auto* box = tagged(new QComboBox, tag);
    for (const char* key : keys)
        box->addItem(appkit::localized(key));
    return box;
}

QLabel* label(int tag, const char* key) {
    auto* text = tagged(new QLabel(appkit::localized(key)), tag);
    text->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return text;
}

// The one-row matrix of the paper direction: column 0 upright, column 1 turned, each with its picture.
QWidget* directionMatrix() {
    auto* matrix = tagged(new QWidget, Cntlr::kDirection);
    auto* row = new QHBoxLayout(matrix);
    row->setContentsMargins(0, 0, 0, 0);
    auto* group = new QButtonGroup(matrix);
    const std::pair<const char*, int> columns[] = {{"ScanSetting_DirectionV", Cntlr::kDirectionPictureV},
                                                   {"ScanSetting_DirectionH", Cntlr::kDirectionPictureH}};
    for (int column = 0; column < 2; ++column) {
        auto* picture = tagged(new QLabel, columns[column].second);
        picture->setFixedSize(32, 32);
        auto* choice = new QRadioButton(appkit::localized(columns[column].first));
        group->addButton(choice, column);
        row->addWidget(picture);
        row->addWidget(choice);
    }
    row->addStretch(1);
    return matrix;
}

QWidget* settingsView(QWidget* parent) {
    auto* view = new QWidget(parent);
    auto* form = new QGridLayout(view);
    int r = 0;
    const auto add = [&](QWidget* left, QWidget* right) {
        form->addWidget(left, r, 0);
        form->addWidget(right, r++, 1);
    };
    add(label(Cntlr::kColorModeLabel, "ScanSetting_ColorModeStr"),
        popUp(Cntlr::kColorMode,
              {"ScanSetting_ColorAuto", "ScanSetting_Color", "ScanSetting_Gray", "ScanSetting_BW"}));
    add(label(Cntlr::kPaperSizeLabel, "ScanSetting_PaperSizeStr"),
        popUp(Cntlr::kPaperSize, {"ScanSetting_PaperAuto", "ScanSetting_PaperA4", "ScanSetting_PaperA5",
                                  "ScanSetting_PaperA6", "ScanSetting_PaperB5", "ScanSetting_PaperB6",
                                  "ScanSetting_PaperLegal", "ScanSetting_PaperLetter"}));
    add(label(Cntlr::kDirectionLabel, "ScanSetting_DirectionStr"), directionMatrix());
    add(label(Cntlr::kResolutionLabel, "ScanSetting_ResolutionStr"),
        popUp(Cntlr::kResolution, {"ScanSetting_Res150", "ScanSetting_Res200", "ScanSetting_Res300",
                                   "ScanSetting_Res400", "ScanSetting_Res600"}));
    add(label(Cntlr::kSidesLabel, "ScanSetting_SidesStr"),
        popUp(Cntlr::kSides, {"ScanSetting_Simplex", "ScanSetting_Duplex", "ScanSetting_DuplexSkipBlank"}));
    form->addWidget(tagged(new QCheckBox(appkit::localized("ScanSetting_Deskew")), Cntlr::kDeskew), r++, 1);
    form->addWidget(tagged(new QCheckBox(appkit::localized("ScanSetting_RecCharDir")), Cntlr::kRecCharDir),
                    r++, 1);
    form->setRowMinimumHeight(r++, 12);
    form->addWidget(tagged(new QCheckBox(appkit::localized("ScanSetting_UseAdv")), Cntlr::kUseDriverSetting),
                    r++, 0, 1, 2);
    auto* state = tagged(new QLabel, Cntlr::kUseDriverSettingState);
    state->setWordWrap(true);
    form->addWidget(state, r, 0, 1, 2);
    form->addWidget(
        tagged(new QPushButton(appkit::localized("ScanSetting_AdvBtn")), Cntlr::kOpenDriverSetting), ++r, 1,
        Qt::AlignRight);
    form->setColumnStretch(1, 1);
    return view;
}

} // namespace

TlvScanSettingPanel::TlvScanSettingPanel()
    : settingsView(::settingsView(this)),
      buttons(appkit::cancelAndOk(Cntlr::kCancelButton, Cntlr::kAcceptButton).box) {
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize); // the panel is as large as its contents
    layout->addWidget(settingsView);
    layout->addWidget(buttons);
}
