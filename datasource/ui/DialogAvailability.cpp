#include "DialogAvailability.h"

#include <dlfcn.h>

#include "QSUIAlertPresenter.h"
#include "QSUIController.h"

#include <QApplication>

void UpdateDialogAvailability() {
    static bool offered = false;
    const bool widgetsHost = qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
    if (widgetsHost == offered)
        return;
    offered = widgetsHost;
    if (!widgetsHost) {
        SetUIControllerFactory(nullptr);
        SetAlertPresenter(std::make_unique<CLogAlertPresenter>());
        return;
    }
    SetAlertPresenter(std::make_unique<CQSUIAlertPresenter>());
    // Qt keeps what the dialog registers with it (meta-objects, resources, posted events) for the life of
    // the process and cannot be told to drop it: in a host with Qt widgets this module stays loaded.
    Dl_info self{};
    if (dladdr(reinterpret_cast<const void*>(&UpdateDialogAvailability), &self) && self.dli_fname)
        dlopen(self.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    SetUIControllerFactory([]() -> std::unique_ptr<CUIController> {
        auto controller = std::make_unique<ComOrvikElectronicsK3100QSUIController>();
        // Without its interface file the dialog could show nothing: the enable fails instead.
        if (!controller->hasWindow())
            return nullptr;
        return controller;
    });
}
