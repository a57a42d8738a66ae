// The file-name setting panel: edits the naming rule of the output function the function view edits
// (prefix, date and time with its form, counter with its digits and start), shows the resulting name
// as it changes, refuses rules that cannot give a valid name, and stores the rule only on OK.
#pragma once

#include "TlvFuncViewLink.h"

#include "OwnedWidget.h"
#include "TlvFileNamePanel.h"

#include <memory>

namespace tlv {

class TlvFileNameSettingCntlr {
public:
    enum : int {
        kTagResult = 1801,
        kTagPrefix = 1803,
        kTagAddDateTime = 1804,
        kTagDateTimeType = 1805,
        kTagAddNumber = 1806,
        kTagDigitType = 1807,
        kTagStartNum = 1808,
        kTagNumberLabel = 1809,
        kTagCancel = 0,
        kTagOK = 1,
    };
    static constexpr int kPrefixLength = 32; // characters

    explicit TlvFileNameSettingCntlr(TlvFuncViewLink& view);
    ~TlvFileNameSettingCntlr();

    QDialog* fileNameSettingPanel() const;

    // Fills the panel from the view's working settings and runs it window-modally over the editor's
    // panel (fromEditor) or the main window.
    void runModalFileNameSttngPnl(bool fromEditor);
    // tagOfButton 0 cancels; any other tag stores a valid rule (an invalid one is shown, the panel
    // stays). The panel's OK button comes here; Cancel, Escape and its close button reject it.
    void closeFileNameSttngPnl(int tagOfButton);

    void initFileNameCntlr();
    void updateFileNameCntlr();
    void updateFileNameDisplay();
    // Throws VX_Exception named by the message key of the first fault.
    void checkFNameStngSave() const;
    void changeDigitType();
    void changePrtFileName();
    void changeDigit();
    // The start field when editing ends: its number without leading zeros.
    void startNumDidEndEditing();
    // The largest counter of that many digits (1..6); 0 beyond.
    static int maxDigNum(int digits);

private:
    void connectPanel();
    int digits() const;
    QString trimmedPrefix() const;
    // The working settings with the panel's rule in the current entry.
    std::unique_ptr<TlvFuncSettingMdl> ruleFromControls() const;

    TlvFuncViewLink& mView;
    appkit::OwnedWidget<TlvFileNamePanel> mPanel;
};

} // namespace tlv
