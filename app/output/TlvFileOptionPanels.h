// The file-option panels' windows, each control with its tag: the page grouping that the PDF and the
// TIFF panel each have one of, the TIFF panel (the grouping alone), the PDF panel (the grouping,
// compression and the recognised-text layer) and the compression-rate panel. What the controls mean
// is TlvFileOptionSettingCntlr's.
#pragma once

#include <QDialog>

class QCheckBox;
class TlvCompressPopUp;
class TlvOCRLangPopUp;
class QDialogButtonBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;
class QTimer;
class QVBoxLayout;

namespace appkit {
class FTextField;
class FStaticTextField;
} // namespace appkit

namespace tlv {

// One file for all pages, or a new file every N pages.
class TlvMultiFileView : public QWidget {
public:
    explicit TlvMultiFileView(QWidget* parent);

    QRadioButton* const allInOne;
    QRadioButton* const everyN;
    appkit::FTextField* const pagesField;
    QSpinBox* const pagesStepper;
    QTimer* const clampTimer; // the count is clamped once typing pauses
};

// The TIFF panel, and the part the PDF panel shares with it.
class TlvPageGroupPanel : public QDialog {
public:
    TlvPageGroupPanel();

    QLabel* const caption;
    TlvMultiFileView* const multiFileView;
    QDialogButtonBox* const buttons;

protected:
    // Puts a further part of the panel above its buttons.
    void addPart(QLayout* part);
};

class TlvPDFOptionPanel : public TlvPageGroupPanel {
public:
    TlvPDFOptionPanel();

    TlvCompressPopUp* const compType;
    QPushButton* const compRate;
    QCheckBox* const addOCR;
    appkit::FStaticTextField* const ocrLangLabel;
    TlvOCRLangPopUp* const ocrLang;
};

class TlvCompPanel : public QDialog {
public:
    TlvCompPanel(int minRate, int maxRate);

    QSlider* const rate;
    QDialogButtonBox* const buttons;
};

} // namespace tlv
