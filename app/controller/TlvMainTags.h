// The tags of the main window's controls and of the places other parts fill in. Controls are found by
// tag; a tag the window lacks is skipped.
#pragma once

namespace tlv::tag {

// The base view: mode buttons, step bar, step information, preferences and help.
constexpr int kModeFoa = 100;
constexpr int kModeJob = 101;
constexpr int kStepJobSel = 103;
constexpr int kStepScan = 104;
constexpr int kStepOutput = 105;
constexpr int kStepFinish = 106;
constexpr int kStepInfo = 107;
constexpr int kModeChangeImage = 108;
constexpr int kBtn1FoaScan = 109;
constexpr int kPrefs = 110;
constexpr int kHelp = 111;

// Top screens.
constexpr int kFoaContinueScan = 201;
constexpr int kFoaScan = 202;
constexpr int kFoaIllustration = 203;
constexpr int kFoaScanSettings = 1009;
constexpr int kConfirmOutput = 302;
constexpr int kJobContinueScan = 303;
constexpr int kJobScan = 304;
constexpr int kJobTable = 1700;
constexpr int kJobEdit = 1701;
constexpr int kJobNew = 1702;
constexpr int kJobInfoCollapsed = 1030;
constexpr int kJobInfoExpanded = 1038;
// Places the job table and the job information panes are put into; apart from every tag of the panes
// (1000..1048), so that a look-up from the window finds a pane's line, not the place holding it.
constexpr int kJobTablePlace = 1703;
constexpr int kFoaJobInfoPlace = 1704;
constexpr int kJobJobInfoPlace = 1705;

// The preview: page and zoom buttons, the page fields, and the place of the page image.
constexpr int kPreviewFirst = 1100;
constexpr int kPreviewPrev = 1101;
constexpr int kPreviewNext = 1102;
constexpr int kPreviewLast = 1103;
constexpr int kPreviewZoomIn = 1104;
constexpr int kPreviewZoomOut = 1105;
constexpr int kPreviewRotateDown = 1106;
constexpr int kPreviewRotateUp = 1107;
constexpr int kPreviewHidden = 1108;
constexpr int kPreviewPageNumber = 1109;
constexpr int kPreviewPageCount = 1110;
constexpr int kPreviewPageLabel = 1111;
constexpr int kPreviewImagePlace = 1120;

// The scanning screen.
constexpr int kScanAnimation = 1200;
constexpr int kScanStatus = 1201;
constexpr int kScanInfo = 1202;
constexpr int kScanNum = 1203;
constexpr int kScanCancelContinue = 1204;
constexpr int kScanSettings = 1205;
constexpr int kScanFinish = 1206;
constexpr int kScanJobInfoPlace = 1207;

// The function choice, the check screen's buttons and the finish screen.
constexpr int kFuncSave = 400;
constexpr int kFuncBack = 404;
constexpr int kFuncViewBack = 1300;
constexpr int kFuncViewExecute = 1301;
constexpr int kFixStatus = 500;
constexpr int kFixDone = 501;
constexpr int kFixOpenFolder = 502;
constexpr int kFixAnimation = 503;
constexpr int kFixSubStatus = 504;

} // namespace tlv::tag
