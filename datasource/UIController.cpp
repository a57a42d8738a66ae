// The process-wide dialog factory; the settings dialog replaces the stand-in when it is built in.
#include "UIController.h"

namespace {

UIControllerFactory& Factory() {
    static UIControllerFactory factory = [] { return std::make_unique<CNullUIController>(); };
    return factory;
}

} // namespace

const UIControllerFactory& GetUIControllerFactory() {
    return Factory();
}

void SetUIControllerFactory(UIControllerFactory factory) {
    Factory() = std::move(factory);
}
