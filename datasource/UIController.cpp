// The process-wide dialog factory: empty until the settings dialog installs itself.
#include "UIController.h"

namespace {

UIControllerFactory& Factory() {
    static UIControllerFactory factory;
    return factory;
}

} // namespace

const UIControllerFactory& GetUIControllerFactory() {
    return Factory();
}

void SetUIControllerFactory(UIControllerFactory factory) {
    Factory() = std::move(factory);
}
