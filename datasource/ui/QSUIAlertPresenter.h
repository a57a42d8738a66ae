// Scanner faults of a host with Qt widgets: an alert in front of the progress window while it is up, so
// that the person watching the scan reads and answers it there. A host that shows no progress (it asked
// for no indicators) reports faults itself, and gets them in the log as before; a host without windows
// gets them as desktop notifications too.
#pragma once

#include "scan/AlertPresenter.h"

class CQSUIAlertPresenter final : public CAlertPresenter {
public:
    std::optional<std::size_t> RunAlert(const SAlert& alert, bool backgroundOnly) override;

private:
    CLogAlertPresenter mLog;
};
