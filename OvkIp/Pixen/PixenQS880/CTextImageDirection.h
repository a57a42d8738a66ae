// Asks the text-direction framework in which direction the text of a whole page runs. The framework is
// opened and closed around every page, so it is never left open between pages.
#pragma once

#include "FilterBases.h"
#include "NormalFilterRecords.h"

#include <cstdint>

namespace Ovk::Pixen {

class CTextImageDirection : public CPageFilter {
public:
    ~CTextImageDirection() override;

    const char* getName() const override { return "TextImageDirection"; }
    std::int32_t setInfo(CImg& image, void* info) override;
    std::int32_t IP(CImg& image) override { return TextImageDirection(image); }

    // Clockwise angle of the page's text found by the last IP.
    std::int32_t getDegree() const noexcept { return m_nDeg; }
    double getRadian() const noexcept { return m_dRad; }

    // Folder of the framework's language data, for every filter of the process.
    static std::int32_t setOcrPath(const char* path);
    // 0 when the framework finds what text direction needs; 2 when it does not.
    static std::int32_t checkLibrary();

private:
    std::int32_t TextImageDirection(CImg& image);
    std::int32_t openLibrary();
    std::int32_t execLibrary(CImg& image);
    std::int32_t closeLibrary();

    tagTEXTIMAGEDIRECTIONINFO m_Info{};
    std::int32_t m_nDeg = 0;
    double m_dRad = 0.0;
    std::int32_t m_lOpenLang = 0; // 0: the framework is not open
    std::int32_t m_lOpenCodePage = 0;
};

} // namespace Ovk::Pixen
