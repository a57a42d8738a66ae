// What one batch's output steps go by, copied on the main thread when the batch or its output step
// starts and handed to the worker threads by value: they never read the settings the main thread may
// change meanwhile.
#pragma once

#include "TlvAppState.h"
#include "TlvOutputOptions.h"

#include <memory>
#include <stop_token>

class TlvFuncSettingMdl;

namespace tlv {

struct TlvBatchSnapshot : TlvBatchKind {
    // The date and time every automatic name of the batch carries: taken once when the batch starts,
    // so that the name the check screen shows is the name its files get, however long writing takes.
    TlvLocalTime nameTime;
    TlvOutputOptions options;
    // The batch's own copy of the function's settings.
    std::shared_ptr<const TlvFuncSettingMdl> settings;
    // The cancel of this batch or output step, shared with the main thread's batch value: either side
    // may stop the step's writing. Each batch and output step gets a source of its own, so a cancel
    // never reaches the workers of the next. Mutable: a stop is no change of what the batch is.
    mutable std::stop_source cancel;

    bool isCancelled() const { return cancel.stop_requested(); }
    void requestCancel() const { cancel.request_stop(); }
};

} // namespace tlv
