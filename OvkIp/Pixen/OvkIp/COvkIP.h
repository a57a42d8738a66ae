// COvkIP: base of the line and rectangle image operations (binarisers, edge emphasis). The operations
// run per line or per rectangle, never per pixel, so one virtual call per line is the whole dispatch cost.
#pragma once

#include "OvkImageInfo.h"

class COvkIP {
public:
    COvkIP() = default;
    COvkIP(const COvkIP&) = delete;
    COvkIP& operator=(const COvkIP&) = delete;
    virtual ~COvkIP() = default;

    // Prepares an operation on dst and src; 0 means "nothing to do" and the caller stops there.
    virtual int Start(tagOVKIMAGEINFO* /*dst*/, tagOVKIMAGEINFO* /*src*/, void* /*info*/) { return 1; }
    virtual void Line() {}
    virtual void Rect() {}
    virtual void Finish() {}
};
