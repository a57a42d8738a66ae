#include "TlvBatchSnapshot.h"

#include "TlvFuncSettingMdl.h"

namespace tlv {

TlvOutputOptions TlvBatchSnapshot::pageOptions() const {
    return settings ? outputOptionsOf(*settings, funcType, options.pictureFolder) : options;
}

} // namespace tlv
