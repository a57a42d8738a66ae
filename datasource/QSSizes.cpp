// The paper list and the sizes computed from it, all in 1/1200 inch. The list holds the bundle's papers
// ("QSPaperSize") by id and the user's own papers by name; the scan size adds the user's margin around
// the scan area and centres the paper in the scanner's paper path.
#include <cmath>

#include "Bundle.h"
#include "CapHelpers.h"
#include "CapNames.h"
#include "DataSourcePreferences.h"
#include "OrvkQSDS.h"
#include "PropertyList.h"
#include "QSCapIds.h"

namespace {

constexpr char kOriginalPapers[] = "OriginalPapers";
constexpr char kCustomPapers[] = "CustomPapers";
constexpr float kMillimetresPerInch = 25.4f;
// The smallest scan is 64 pixels: 64 x 1200 in 1/1200 inch per dot of resolution.
constexpr float kMinimumScanUnits = 64 * kCapLengthUnitsPerInch;

// The papers the data source ships with, from its bundle's resources; empty when they cannot be read.
fnd::Array ReadOriginalPapers() {
    const std::optional<fnd::Bundle> bundle =
        fnd::Bundle::containing(reinterpret_cast<const void*>(&ReadOriginalPapers));
    const auto path = bundle ? bundle->pathForResource("QSPaperSize", "plist") : std::nullopt;
    if (!path)
        return {};
    fnd::plist::FileContents file = fnd::plist::readFile(*path);
    const fnd::Array* papers = file.ok() ? file.value.asArray() : nullptr;
    return papers ? *papers : fnd::Array();
}

std::optional<SScanSize> PaperEntrySize(const fnd::Dictionary& paper) {
    const std::optional<double> width = paper.get("Width").asDouble();
    const std::optional<double> height = paper.get("Height").asDouble();
    if (!width || !height)
        return std::nullopt;
    return SScanSize{static_cast<float>(*width), static_cast<float>(*height)};
}

} // namespace

void COrvkQSDS::LoadPaperList() {
    mUserGammaDatas.clear();
    mPaperSizes.clear();
    mPaperSizes.set(kOriginalPapers, ReadOriginalPapers());
    const std::optional<fnd::Dictionary> prefs = GetDataSourcePreference();
    if (!prefs)
        return;
    if (const fnd::Array* gammas = prefs->get(kPrefUserGammaDatas).asArray())
        mUserGammaDatas = *gammas;
    if (const fnd::Array* custom = prefs->get(kPrefCustomPapers).asArray())
        mPaperSizes.set(kCustomPapers, *custom);
}

void COrvkQSDS::SetScanArea(float x, float y, float width, float height) {
    CCapPool* pool = GetCapPool();
    SetCapFloatValue(pool, CCAP_OVKM_SCANAREA_X, x);
    SetCapFloatValue(pool, CCAP_OVKM_SCANAREA_Y, y);
    SetCapFloatValue(pool, CCAP_OVKM_SCANAREA_WIDTH, width);
    SetCapFloatValue(pool, CCAP_OVKM_SCANAREA_HEIGHT, height);
}

void COrvkQSDS::ApplyDefaultPaper() {
    CCapPool* pool = GetCapPool();
    std::int32_t paper = 0;
    if (!pool->GetCapability(CCAP_OVKM_PAPERSIZE)->ReadValue(paper, kCapDefault))
        return;
    pool->GetCapability(ICAP_SUPPORTEDSIZES)->WriteValue(SupportedSizeForPaper(paper), kCapDefault);
    const std::optional<SScanSize> page = PaperSizeFor(paper);
    if (!page)
        return;
    pool->GetCapability(CCAP_OVKM_SCANAREA_WIDTH)->WriteValue(page->width, kCapDefault);
    pool->GetCapability(CCAP_OVKM_SCANAREA_HEIGHT)->WriteValue(page->height, kCapDefault);
}

TW_UINT16 COrvkQSDS::FrameSupportedSize() {
    const CCapPool* pool = GetCapPool();
    const std::int32_t paper = GetCapSIntValue(pool, CCAP_OVKM_PAPERSIZE);
    const std::optional<SScanSize> page = PaperSizeFor(paper);
    // The scan area holds whole 1/1200 inches.
    const bool wholePage = page && GetCapFloatValue(pool, CCAP_OVKM_SCANAREA_X) == 0 &&
                           GetCapFloatValue(pool, CCAP_OVKM_SCANAREA_Y) == 0 &&
                           GetCapFloatValue(pool, CCAP_OVKM_SCANAREA_WIDTH) == std::trunc(page->width) &&
                           GetCapFloatValue(pool, CCAP_OVKM_SCANAREA_HEIGHT) == std::trunc(page->height);
    return wholePage ? SupportedSizeForPaper(paper) : TWSS_NONE;
}

std::optional<SScanSize> COrvkQSDS::PaperSizeFor(std::int32_t paperId) {
    const CCapPool* pool = GetCapPool();
    const SScanSize physical{GetCapFloatValue(pool, ICAP_PHYSICALWIDTH),
                             GetCapFloatValue(pool, ICAP_PHYSICALHEIGHT)};
    SScanSize size = physical;
    if (paperId >= 0) {
        if (const fnd::Array* papers = mPaperSizes.get(kOriginalPapers).asArray()) {
            for (const fnd::Value& entry : *papers) {
                const fnd::Dictionary* paper = entry.asDictionary();
                if (paper && paper->get("ID").asInt32() == paperId)
                    size = PaperEntrySize(*paper).value_or(size);
            }
        }
        return size;
    }
    if (paperId != kPaperCustom)
        return physical;
    CapNameItem nameItem{};
    GetCapStrValue(pool, CCAP_OVKM_CUSTOMPAGESIZENAME, nameItem);
    const std::string name = DecodeCapName(nameItem);
    const fnd::Array* custom = mPaperSizes.get(kCustomPapers).asArray();
    if (!custom)
        return std::nullopt;
    for (const fnd::Value& entry : *custom) {
        const fnd::Dictionary* paper = entry.asDictionary();
        const std::string* entryName = paper ? paper->get("Name").asString() : nullptr;
        if (!entryName || !SameCapName(*entryName, name))
            continue;
        const std::optional<SScanSize> found = PaperEntrySize(*paper);
        if (found && found->width > 0 && found->height > 0 && found->width <= physical.width &&
            found->height <= physical.height)
            return *found;
    }
    return std::nullopt;
}

void COrvkQSDS::ResetScanArea() {
    CCapPool* pool = GetCapPool();
    ResetCapValue(pool, CCAP_OVKM_PAPERSIZE);
    ResetCapValue(pool, CCAP_OVKM_CUSTOM_SCANAREA);
    CDataSource::ResetScanArea();
}

SScanSize COrvkQSDS::GetCurrentPaperSize() {
    CCapPool* pool = GetCapPool();
    if (std::optional<SScanSize> size = PaperSizeFor(GetCapSIntValue(pool, CCAP_OVKM_PAPERSIZE)))
        return *size;
    // The user's paper is gone or no longer fits: back to the default paper, whose whole page becomes
    // the scan area.
    ResetCapValue(pool, CCAP_OVKM_PAPERSIZE);
    const SScanSize size = PaperSizeFor(GetCapSIntValue(pool, CCAP_OVKM_PAPERSIZE))
                               .value_or(SScanSize{GetCapFloatValue(pool, ICAP_PHYSICALWIDTH),
                                                   GetCapFloatValue(pool, ICAP_PHYSICALHEIGHT)});
    SetScanArea(0, 0, size.width, size.height);
    return size;
}

SScanSize COrvkQSDS::GetScanSize(bool detected) {
    CCapPool* pool = GetCapPool();
    const bool detectSize = GetCapSIntValue(pool, CCAP_OVK_DETECTPAGESIZE) != 0;
    if (detected && (detectSize || GetCapSIntValue(pool, CCAP_OVK_RECOGNIZE_DIRECTION) != 0))
        return mDetectedPageSize;
    const SScanSize paper = GetCurrentPaperSize();
    // ICAP_AUTOMATICDESKEW only names CCAP_OVK_DESKEW (its set writes it, its read shows it): read alone,
    // its stored value may be one the custom twin has since turned off.
    if (detectSize || GetCapSIntValue(pool, CCAP_OVK_DESKEW) != 0) {
        SScanSize size = CDataSource::GetScanSize(false);
        if (size.width > paper.width || size.height > paper.height) {
            SetCapFloatValue(pool, CCAP_OVKM_SCANAREA_WIDTH, paper.width);
            SetCapFloatValue(pool, CCAP_OVKM_SCANAREA_HEIGHT, paper.height);
            size = paper;
        }
        return size;
    }
    float x = GetCapFloatValue(pool, CCAP_OVKM_SCANAREA_X);
    float y = GetCapFloatValue(pool, CCAP_OVKM_SCANAREA_Y);
    float width = GetCapFloatValue(pool, CCAP_OVKM_SCANAREA_WIDTH);
    float height = GetCapFloatValue(pool, CCAP_OVKM_SCANAREA_HEIGHT);
    if (x < 0 || y < 0 || x + width > paper.width || y + height > paper.height) {
        x = y = 0;
        width = paper.width;
        height = paper.height;
        SetScanArea(x, y, width, height);
    }
    const float physicalWidth = GetCapFloatValue(pool, ICAP_PHYSICALWIDTH);
    const float margin = static_cast<float>(GetCapSIntValue(pool, CCAP_OVK_MARGINLENGTH)) *
                         kCapLengthUnitsPerInch / kMillimetresPerInch;
    const float minimum = kMinimumScanUnits / GetCapFloatValue(pool, ICAP_XRESOLUTION);
    const float centre = std::trunc((physicalWidth - paper.width) * 0.5f);
    const float left = std::max(0.0f, centre + std::trunc(x - margin));
    const float right = std::min(std::trunc(physicalWidth), centre + std::trunc(x + width + margin));
    return {std::max(minimum, right - left), std::max(minimum, height + 2 * margin)};
}
