// The process-wide alert presenter and the logging one.
#include "scan/AlertPresenter.h"

#include <cstdio>

namespace {

std::unique_ptr<CAlertPresenter>& Presenter() {
    static std::unique_ptr<CAlertPresenter> presenter = std::make_unique<CLogAlertPresenter>();
    return presenter;
}

} // namespace

std::optional<std::size_t> CLogAlertPresenter::RunAlert(const SAlert& alert, bool) {
    std::fprintf(stderr, "K3100: %s (%s)\n", alert.message.c_str(), alert.information.c_str());
    if (alert.buttons.empty())
        return std::nullopt;
    return alert.buttons.size() - 1;
}

CAlertPresenter* GetAlertPresenter() {
    return Presenter().get();
}

void SetAlertPresenter(std::unique_ptr<CAlertPresenter> presenter) {
    Presenter() = std::move(presenter);
}
