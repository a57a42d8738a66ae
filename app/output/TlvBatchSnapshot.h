// What one batch's output steps go by, copied on the main thread when the batch or its output step
// starts and handed to the worker threads by value: they never read the settings the main thread may
// change meanwhile.
#pragma once

#include "TlvAppState.h"
#include "TlvOutputOptions.h"

#include <memory>

class TlvFuncSettingMdl;

namespace tlv {

struct TlvBatchSnapshot : TlvBatchKind {
    TlvOutputOptions options;
    // The batch's own copy of the function's settings. When there is one, each call of pageOptions makes
    // the automatic name again from it, as the name may carry the time.
    std::shared_ptr<const TlvFuncSettingMdl> settings;

    TlvOutputOptions pageOptions() const;
};

} // namespace tlv
