#include "DialogAvailability.h"

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
        return;
    }
    SetUIControllerFactory([]() -> std::unique_ptr<CUIController> {
        auto controller = std::make_unique<ComOrvikElectronicsK3100QSUIController>();
        // Without its interface file the dialog could show nothing: the enable fails instead.
        if (!controller->hasWindow())
            return nullptr;
        return controller;
    });
}
