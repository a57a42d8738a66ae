// Base of every image filter. A filter takes its parameter record in a setInfo operation and then changes
// the image in place; the band controller decides which pair runs for a whole page or for each band.
#pragma once

#include "CImg.h"

#include <cstdint>

namespace Ovk::Pixen {

// What one call carries. Values outside 0..3 reach the controller from callers and are refused there.
enum tagIMAGESTATE : std::int32_t {
    IMAGESTATE_WHOLE = 0,
    IMAGESTATE_FIRST = 1,
    IMAGESTATE_MIDDLE = 2,
    IMAGESTATE_LAST = 3,
};

enum tagSIDE : std::int32_t {
    SIDE_FRONT = 0,
    SIDE_BACK = 1,
};

// Every operation returns a result code (ResultCodes.h). A parameter record begins with its size word;
// a null record or a wrong size gives RTN_PAR. Pointers inside a record must stay valid until the
// matching IP operation has returned.
class CIPBase {
public:
    virtual ~CIPBase() = default;

    // Shown in the trace line of every call.
    virtual const char* getName() const = 0;
    virtual std::int32_t IP(CImg& image) = 0;
    virtual std::int32_t IPFirst(CImg& band) = 0;
    virtual std::int32_t IPMiddle(CImg& band) = 0;
    // Lines held back by earlier bands come out here.
    virtual std::int32_t IPLast(CImg& band) = 0;
    virtual std::int32_t setInfo(CImg& image, void* info) = 0;
    virtual std::int32_t setInfoFirst(CImg& band, void* info) = 0;
    virtual std::int32_t setInfoMiddle(CImg& band, void* info) = 0;
    virtual std::int32_t setInfoLast(CImg& band, void* info) = 0;

protected:
    CIPBase() = default;
    CIPBase(const CIPBase&) = default;
    CIPBase& operator=(const CIPBase&) = default;
};

} // namespace Ovk::Pixen
