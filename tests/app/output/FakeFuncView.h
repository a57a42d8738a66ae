// The function view as the option panels see it: a working copy of the settings, the function type,
// a window to stand over, and a count of the changes reported.
#pragma once

#include "TlvFuncSettingMdl.h"
#include "TlvFuncViewLink.h"

#include <QWidget>

struct FakeFuncView : tlv::TlvFuncViewLink {
    TlvFuncSettingMdl settings;
    int functionType = 0;
    int changes = 0;
    QWidget window;
    TlvFuncSettingMdl* tmpFuncSettingMdl() override { return &settings; }
    int curFuncTypeFuncView() const override { return functionType; }
    QWidget* parentWindow(bool) override { return &window; }
    void updateFuncCntlrs() override {}
    void settingDidChangeFromFunc() override { ++changes; }
};
