// The page library's interface for the data source: raw bands in, finished pages out, and the lamp
// calibration. Every function works on the one process-wide pipeline, so calls must come from one
// thread at a time and a calibration must not overlap a page.
//
// Results: 0 done, 1 not applicable, 2 bad parameter (wrong or missing record, image or option outside
// what the model accepts), 3 an image could not be created, 4 out of sequence, 5 inconsistent options.
// On failure the out images keep what they held. No exception leaves these functions.
#pragma once

#include "CGRC.h"
#include "CIPBase.h"
#include "CImg.h"
#include "NormalFilterRecords.h"
#include "PixenExport.h"
#include "QS880Records.h"

#include <cstdint>

namespace Ovk::Pixen::QS880 {

class CSpecialFilter;

// The pipeline behind every function; built at load, destroyed at unload.
extern CSpecialFilter SpecialFilter;

// One-sided pages. in: the raw band (processed in place, empty after success); out receives the result.
// A page is one FilterSimplex call, or First, any Middles, then Last or LastAppended, each band passing
// the same request. Middle or Last without a First of a one-sided page gives 4.
PIXENQS880_EXPORT std::int32_t FilterSimplex(CImg& out, CImg& in, tagFILTERSIMPLEXINFO* info);
PIXENQS880_EXPORT std::int32_t FilterSimplexFirst(CImg& out, CImg& in, tagFILTERSIMPLEXINFO* info);
PIXENQS880_EXPORT std::int32_t FilterSimplexMiddle(CImg& out, CImg& in, tagFILTERSIMPLEXINFO* info);
PIXENQS880_EXPORT std::int32_t FilterSimplexLast(CImg& out, CImg& in, tagFILTERSIMPLEXINFO* info);
// The last band followed by lHeight lines of backing colour (the page's missing lines); lHeight <= 0
// is FilterSimplexLast. in may be empty. Needs shading data of the side for the backing colour.
PIXENQS880_EXPORT std::int32_t FilterSimplexLastAppended(CImg& out, CImg& in, tagFILTERSIMPLEXINFO* info,
                                                         std::int32_t lHeight);

// Two-sided pages: the raw band holds both sides; frontOut and backOut receive the two sides.
PIXENQS880_EXPORT std::int32_t FilterDuplex(CImg& frontOut, CImg& backOut, CImg& in,
                                            tagFILTERDUPLEXINFO* info);
PIXENQS880_EXPORT std::int32_t FilterDuplexFirst(CImg& frontOut, CImg& backOut, CImg& in,
                                                 tagFILTERDUPLEXINFO* info);
PIXENQS880_EXPORT std::int32_t FilterDuplexMiddle(CImg& frontOut, CImg& backOut, CImg& in,
                                                  tagFILTERDUPLEXINFO* info);
PIXENQS880_EXPORT std::int32_t FilterDuplexLast(CImg& frontOut, CImg& backOut, CImg& in,
                                                tagFILTERDUPLEXINFO* info);
PIXENQS880_EXPORT std::int32_t FilterDuplexLastAppended(CImg& frontOut, CImg& backOut, CImg& in,
                                                        tagFILTERDUPLEXINFO* info, std::int32_t lHeight);

// Ends a page that will get no more bands (an abort, a jam, a failed band): frees every band, held line
// and analysis object the pipeline keeps for it. The next band call must be a First or a whole page;
// shading references and the offset stay. Harmless when no page is in progress.
PIXENQS880_EXPORT void AbandonPage() noexcept;
// Frees the page buffers kept for reuse; the next page allocates afresh. For the end of a session.
PIXENQS880_EXPORT void ReleaseBuffers() noexcept;

// The generic chain alone on an already prepared whole image.
PIXENQS880_EXPORT std::int32_t NormalFilterSimplex(CImg& out, CImg& in, tagNORMALFILTERSIMPLEXINFO* info);
PIXENQS880_EXPORT std::int32_t NormalFilterDuplex(CImg& frontOut, CImg& backOut, CImg& in,
                                                  tagNORMALFILTERDUPLEXINFO* info);

// One operation of the generic chain on a whole one-sided image, in place, with the given record. They
// share the chain's filters, so while the bands of a page are in progress they give 4 and change nothing;
// a missing record or one of another size gives 2.
PIXENQS880_EXPORT std::int32_t DropOutColor(CImg& image, tagDROPOUTCOLORINFO* info);
PIXENQS880_EXPORT std::int32_t EmphasisColor(CImg& image, tagEMPHASISCOLORINFO* info);
PIXENQS880_EXPORT std::int32_t EraseBackPage(CImg& image, tagERASEBACKPAGEINFO* info);
PIXENQS880_EXPORT std::int32_t ColorToGray(CImg& image);
PIXENQS880_EXPORT std::int32_t GRC(CImg& image, tagGRCINFO* info, ColorMode mode, bool errorDiffusion);
PIXENQS880_EXPORT std::int32_t EmphasisEdge(CImg& image, tagEMPHASISEDGEINFO* info);
PIXENQS880_EXPORT std::int32_t GrayToBinary(CImg& image, tagGRAYTOBINARYINFO* info);
PIXENQS880_EXPORT std::int32_t Inverse(CImg& image);
// Joins front and back side by side into out; front is emptied on success, back is left as it is.
PIXENQS880_EXPORT std::int32_t PutImageOnSide(CImg& out, CImg& front, CImg& back);
PIXENQS880_EXPORT std::int32_t TextImageDirection(CImg& image, tagTEXTIMAGEDIRECTIONINFO* info);
PIXENQS880_EXPORT std::int32_t Rotate90x(CImg& image, tagROTATE90XINFO* info);
// Measures the image at grey level 128; the verdict lands in info->bBlankPage.
PIXENQS880_EXPORT std::int32_t IsBlankPage(CImg& image, tagBLANKPAGEINFO* info);

// Back-side line offset in lines at res dpi (stored in micrometres, 6250 after load); setOffset takes
// micrometres.
PIXENQS880_EXPORT std::int32_t getOffset(std::int32_t res);
PIXENQS880_EXPORT void setOffset(std::int32_t offset);
// Dummy pixels of the sensor at res dpi: none on this model.
PIXENQS880_EXPORT std::int32_t getDummyPixelCount(std::int32_t res);
// Path of the text-direction recogniser's data; the text is copied.
PIXENQS880_EXPORT void setOcrPath(const char* path);
// 0 when text direction can run: its framework finds the orientation model; 2 when it cannot.
PIXENQS880_EXPORT std::int32_t checkTextDirection();

// Lamp calibration: AdjustLightFirst, then AdjustLightNext once per calibration scan until the record's
// bAdjustDone is set (a further call gives 4); then AdjustLightLast for the white and black references
// and AdjustLightFix per side with the scanner's 524288-byte light-curve block.
PIXENQS880_EXPORT void AdjustLightFirst(tagADJUSTINFO* info);
PIXENQS880_EXPORT std::int32_t AdjustLightNext(CImg& scan, tagADJUSTINFO* info);
PIXENQS880_EXPORT std::int32_t AdjustLightLast(CImg& front, CImg& back, CImg& scan, tagADJUSTINFO* info);
// Corrects white with the light curve and turns white and black (one-line 16-bit references, changed in
// place) into the side's shading data: afterwards they are the gain and black images of tagSHADINGINFO.
PIXENQS880_EXPORT std::int32_t AdjustLightFix(CImg& white, CImg& black, tagADJUSTINFO* info, tagSIDE side,
                                              const std::uint8_t* data, std::uint32_t size);

} // namespace Ovk::Pixen::QS880
