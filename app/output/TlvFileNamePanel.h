// The file-name setting panel's window: its controls, each with its tag, laid out once. What they
// mean is TlvFileNameSettingCntlr's.
#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;

namespace appkit {
class FTextField;
class FStaticTextField;
} // namespace appkit

namespace tlv {

class TlvFileNamePanel : public QDialog {
public:
    TlvFileNamePanel(int maxDigits, int prefixLength);

    QLabel* const result;
    appkit::FTextField* const prefix;
    QCheckBox* const addDateTime;
    QComboBox* const dateTimeType;
    QCheckBox* const addNumber;
    QComboBox* const digitType;
    appkit::FTextField* const startNum;
    appkit::FStaticTextField* const numberLabel;
    QDialogButtonBox* const buttons;
};

} // namespace tlv
