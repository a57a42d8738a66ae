// The file-name setting panel's window: its controls, each with its tag, laid out once. What they
// mean is TlvFileNameSettingCntlr's.
#pragma once

#include <QDialog>

class QCheckBox;
class QDialogButtonBox;
class QLabel;
class TlvDateTimeAddPopUp;
class TlvNumberAddPopUp;

namespace appkit {
class FTextField;
class FStaticTextField;
} // namespace appkit

namespace tlv {

class TlvFileNamePanel : public QDialog {
public:
    explicit TlvFileNamePanel(int prefixLength);

    QLabel* const result;
    appkit::FTextField* const prefix;
    QCheckBox* const addDateTime;
    TlvDateTimeAddPopUp* const dateTimeType;
    QCheckBox* const addNumber;
    TlvNumberAddPopUp* const digitType;
    appkit::FTextField* const startNum;
    appkit::FStaticTextField* const numberLabel;
    QDialogButtonBox* const buttons;
};

} // namespace tlv
