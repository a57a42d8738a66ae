// How the data source puts an alert in front of the user. The settings dialog supplies windows later;
// until then, and for hosts without a user, CLogAlertPresenter writes the alert to the log.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct SAlert {
    std::string message;
    std::string information;
    std::vector<std::string> buttons; // default first
    bool critical = true;
};

class CAlertPresenter {
public:
    virtual ~CAlertPresenter() = default;
    // The index of the chosen button, or none when the alert could not be shown. backgroundOnly: the
    // host has no windows, so the alert must come as a system notification.
    virtual std::optional<std::size_t> RunAlert(const SAlert& alert, bool backgroundOnly) = 0;
};

// Writes "K3100: message (information)" to stderr. Nobody can answer, so an alert that offers a choice
// takes its last button (Cancel), and says so in place of the information that asks for a click:
// retrying without a user would only repeat the same failure.
class CLogAlertPresenter final : public CAlertPresenter {
public:
    std::optional<std::size_t> RunAlert(const SAlert& alert, bool backgroundOnly) override;
};

// The presenter the data source uses; starts as a CLogAlertPresenter. Never null after SetAlertPresenter
// with a presenter; null (no alerts possible) after SetAlertPresenter(nullptr).
CAlertPresenter* GetAlertPresenter();
void SetAlertPresenter(std::unique_ptr<CAlertPresenter> presenter);
