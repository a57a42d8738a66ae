// The scan-settings panel's window: the settings view (each control with its tag) over Cancel and OK.
// What the controls mean is TlvScanSettingCntlr's.
#pragma once

#include <QDialog>

class QDialogButtonBox;

class TlvScanSettingPanel : public QDialog {
public:
    TlvScanSettingPanel();

    QWidget* const settingsView;
    QDialogButtonBox* const buttons;
};
