// Strategy objects behind the handle of DetectSlantAndSizeEx: a dispatcher base, adapters chosen by the
// record's method, and the workers that drive the single-side and the duplex detector.
#pragma once

#include "DetectSize/DetectSizeWithDuplex.h"
#include "DetectSize/DetectSlantAndSizeEx_OneRadiate2.h"
#include "DetectSize/OvkDetectSlantAndSize.h"

#include <cstdint>
#include <memory>

namespace Ovk::DetectSize {

using ImageRec = tagOVKIMAGEINFO*;
using DetectRec = tagDETECTSLANTSIZEEXBASIC*;

class CDetectSlantAndSizeBase {
public:
    virtual ~CDetectSlantAndSizeBase() = default;
    // 0: band commands may run.
    virtual int CanBandProcess() const = 0;
    virtual std::uint32_t InitProc(ImageRec, DetectRec) { return 0; }
    virtual std::uint32_t FirstProc(ImageRec image, DetectRec rec) { return ImageProc(image, rec); }
    virtual std::uint32_t MidProc(ImageRec image, DetectRec rec) { return ImageProc(image, rec); }
    virtual std::uint32_t LastProc(ImageRec image, DetectRec rec) { return ImageProc(image, rec); }
    virtual std::uint32_t ResultProc(ImageRec, DetectRec) { return 0; }
    virtual std::uint32_t ImageProc(ImageRec, DetectRec) { return 0; }
    // Runs the record's command and remembers it as the last one run.
    std::uint32_t Proc(ImageRec image, DetectRec rec);

private:
    std::uint32_t wholeImage(ImageRec image, DetectRec rec);

    std::int64_t m_lastCommand = -1;
};

// Method 8: forwards to a single-side worker made by InitProc; 1 while there is none.
class CDetectSlantAndSize_OneRadiate : public CDetectSlantAndSizeBase {
public:
    int CanBandProcess() const override { return 0; }
    std::uint32_t InitProc(ImageRec image, DetectRec rec) override;
    std::uint32_t FirstProc(ImageRec image, DetectRec rec) override;
    std::uint32_t MidProc(ImageRec image, DetectRec rec) override;
    std::uint32_t LastProc(ImageRec image, DetectRec rec) override;
    std::uint32_t ResultProc(ImageRec image, DetectRec rec) override;

protected:
    std::unique_ptr<CDetectSlantAndSizeBase> m_worker;
};

// Method 11: a duplex worker for front and back, else the single-side path.
class CDetectSlantAndSize_OneRadiate_With_Duplex : public CDetectSlantAndSize_OneRadiate {
public:
    std::uint32_t InitProc(ImageRec image, DetectRec rec) override;
};

// Single-side worker over DetectSlantAndSize; the detector lives in the inline request record.
class CDetectSlantAndSizeBackShadow : public CDetectSlantAndSizeBase {
public:
    ~CDetectSlantAndSizeBackShadow() override;
    int CanBandProcess() const override { return 0; }
    std::uint32_t InitProc(ImageRec image, DetectRec rec) override;
    std::uint32_t FirstProc(ImageRec image, DetectRec) override { return run(image, 1); }
    std::uint32_t MidProc(ImageRec image, DetectRec) override { return run(image, 2); }
    std::uint32_t LastProc(ImageRec image, DetectRec) override { return run(image, 3); }
    std::uint32_t ResultProc(ImageRec image, DetectRec rec) override;

private:
    void copyInputs(const tagDETECTSLANTSIZEEXBASIC& rec);
    std::uint32_t run(ImageRec image, std::uint32_t command);

    tagSLANTSIZEREQ m_req{};
};

// Front-and-back worker over CDetectSizeWithDuplex.
class CDetectSlantAndSize_OneRadiate_With_Duplex_Main : public CDetectSlantAndSizeBase {
public:
    int CanBandProcess() const override { return 0; }
    std::uint32_t InitProc(ImageRec image, DetectRec rec) override;
    std::uint32_t FirstProc(ImageRec image, DetectRec rec) override;
    std::uint32_t MidProc(ImageRec image, DetectRec rec) override;
    std::uint32_t LastProc(ImageRec image, DetectRec rec) override;
    std::uint32_t ResultProc(ImageRec image, DetectRec rec) override;

private:
    enum class Band { First, Mid, Last };
    std::uint32_t band(ImageRec image, DetectRec rec, Band which);
    std::uint32_t side(DetectRec rec, bool front, tagDETECTSLANTSIZESIDE& out);

    std::unique_ptr<CDetectSizeWithDuplex> m_detector;
    CImg::tagIMGSET m_frontRes{};
    CImg::tagIMGSET m_backRes{};
};

// Detector status to the entry's small code: a facility-7 code carries its low word, any other failure is 8.
std::uint32_t map_status(std::int32_t status);

// Writes the parts of a side's results that mask selects.
void write_side(tagDETECTSLANTSIZESIDE& out, std::uint32_t mask, const std::int32_t rect[4],
                const std::int32_t corners[8], const std::int32_t slant[2]);

} // namespace Ovk::DetectSize
