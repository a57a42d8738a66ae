// The pictures of a job in the job tables and the information pane: its output function and the
// scanner button it holds, both at the tables' 32-point size.
#pragma once

#include "TlvJobListSettingMdl.h"

#include <QIcon>

namespace tlv {

inline constexpr int kJobIconSize = 32; // points

// The desktop's icon of the output (folder, mail, printer, application), ours where it has none; a
// null icon for an unused slot or an unknown function.
QIcon jobFuncTypeIcon(const TlvJobListSettingMdl& job);
// The button badge of a titled job; the start button appears disabled when button 1 starts a
// scan-first batch instead. Null for an unused slot or no button.
QIcon jobScanBtnIcon(const TlvJobListSettingMdl& job, bool isBtn1AllocFOAScan);

} // namespace tlv
