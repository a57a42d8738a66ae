// The process-wide alert presenter and the logging one.
#include "scan/AlertPresenter.h"

#include <cstdio>

namespace {

std::unique_ptr<CAlertPresenter>& Presenter() {
    static std::unique_ptr<CAlertPresenter> presenter = std::make_unique<CLogAlertPresenter>();
    return presenter;
}

} // namespace

// The informative text of an alert with a choice tells which button to click; a log offers none, so it
// names the answer taken instead.
std::optional<std::size_t> CLogAlertPresenter::RunAlert(const SAlert& alert, bool) {
    if (alert.buttons.size() > 1) {
        std::fprintf(stderr, "K3100: %s (answered \"%s\": nobody here can choose)\n", alert.message.c_str(),
                     alert.buttons.back().c_str());
        return alert.buttons.size() - 1;
    }
    std::fprintf(stderr, "K3100: %s (%s)\n", alert.message.c_str(), alert.information.c_str());
    if (alert.buttons.empty())
        return std::nullopt;
    return 0;
}

CAlertPresenter* GetAlertPresenter() {
    return Presenter().get();
}

void SetAlertPresenter(std::unique_ptr<CAlertPresenter> presenter) {
    Presenter() = std::move(presenter);
}
