// What the option panels need of the output-function view that opens them: its working copy of the
// output settings, the function type it edits, the window to stand over, and its refresh and change
// reports.
#pragma once

#include "TlvFuncSettingMdl.h"

class QWidget;

namespace tlv {

class TlvFuncViewLink {
public:
    virtual ~TlvFuncViewLink() = default;
    // Null when the view has no working settings.
    virtual TlvFuncSettingMdl* tmpFuncSettingMdl() = 0;
    virtual int curFuncTypeFuncView() const = 0;
    // The settings entry of that function type; negative when it has none.
    int entryIndex() const { return TlvFuncSettingMdl::fIndexByFType(curFuncTypeFuncView()); }
    // The job-list editor's panel when opened from there, else the main window; may be null.
    virtual QWidget* parentWindow(bool fromEditor) = 0;
    virtual void updateFuncCntlrs() = 0;
    virtual void settingDidChangeFromFunc() = 0;
};

} // namespace tlv
