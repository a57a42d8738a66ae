#include "UserGammaRecord.h"

#include "CapHelpers.h"
#include "QSCapIds.h"

#include <array>
#include <cmath>
#include <string>

namespace {

constexpr int kChannels = 8;
constexpr std::uint32_t kMethodMask = 0xFF;

constexpr std::array<const char*, kChannels> kGammaKeys{"FrontGrayGamma", "FrontRedGamma", "FrontGreenGamma",
                                                        "FrontBlueGamma", "BackGrayGamma", "BackRedGamma",
                                                        "BackGreenGamma", "BackBlueGamma"};
constexpr std::array<const char*, kChannels> kCurveKeys{"FrontGrayCurve", "FrontRedCurve", "FrontGreenCurve",
                                                        "FrontBlueCurve", "BackGrayCurve", "BackRedCurve",
                                                        "BackGreenCurve", "BackBlueCurve"};

// The capability of channel c (0 to 7) from its front id.
TW_UINT16 ChannelCap(TW_UINT16 frontGrey, int channel) {
    const auto id = static_cast<TW_UINT16>(frontGrey + channel % 4);
    return channel < 4 ? id : BackTwin(id);
}

bool UsableGamma(const fnd::Value& value) {
    const std::optional<double> gamma = value.asDouble();
    return gamma && std::isfinite(*gamma) && *gamma >= kMinimumGamma - 1e-6 && *gamma <= kMaximumGamma + 1e-6;
}

} // namespace

bool IsUsableUserGamma(const fnd::Dictionary& record) {
    const std::string* name = record.get("Name").asString();
    if (!name || name->empty() || QString::fromStdString(*name).size() > kUserGammaNameLength)
        return false;
    const std::optional<std::uint32_t> method = record.get("GammaMethod").asUInt32();
    if (!method || (*method & ~kMethodMask) != 0)
        return false;
    for (int c = 0; c < kChannels; ++c) {
        const fnd::Data* curve = record.get(kCurveKeys[static_cast<std::size_t>(c)]).asData();
        if (!UsableGamma(record.get(kGammaKeys[static_cast<std::size_t>(c)])) || !curve ||
            curve->size() != std::tuple_size_v<ToneTable>)
            return false;
    }
    return true;
}

std::vector<fnd::Dictionary> UsableUserGammas(const fnd::Array& list, std::size_t& damaged) {
    std::vector<fnd::Dictionary> usable;
    damaged = 0;
    for (const fnd::Value& entry : list) {
        const fnd::Dictionary* record = entry.asDictionary();
        if (record && IsUsableUserGamma(*record))
            usable.push_back(*record);
        else
            ++damaged;
    }
    return usable;
}

fnd::Dictionary UserGammaFromPool(const CCapPool* pool, const QString& name, int from, int to,
                                  bool backFromFront) {
    const std::uint32_t method = GetCapUIntValue(pool, CCAP_OVKM_GAMMAMETHOD);
    const ToneTable identity = IdentityToneTable();
    std::array<ToneTable, kChannels> curves;
    curves.fill(identity);
    std::array<double, kChannels> gammas;
    gammas.fill(1.0);
    for (int c = from; c <= to; ++c) {
        for (const int channel : {c, c + 4}) {
            const int source = backFromFront ? c : channel;
            const auto at = static_cast<std::size_t>(channel);
            if ((method >> channel) & 1u)
                GetCapStrValue(pool, ChannelCap(CCAP_OVKM_GRAYCURVE, source), curves[at]);
            else
                gammas[at] = GetCapFloatValue(pool, ChannelCap(CCAP_OVKM_GRAYGAMMA, source));
        }
    }
    fnd::Dictionary record{{"Name", name.toStdString()}, {"GammaMethod", std::int64_t{method}}};
    for (std::size_t c = 0; c < kChannels; ++c) {
        record.set(kGammaKeys[c], gammas[c]);
        record.set(kCurveKeys[c], fnd::Data(curves[c].begin(), curves[c].end()));
    }
    return record;
}

void ApplyUserGamma(CCapPool* pool, const fnd::Dictionary& record) {
    SetCapUIntValue(pool, CCAP_OVKM_GAMMAMETHOD, record.get("GammaMethod").asUInt32().value_or(0));
    for (int c = 0; c < kChannels; ++c) {
        const auto at = static_cast<std::size_t>(c);
        SetCapFloatValue(pool, ChannelCap(CCAP_OVKM_GRAYGAMMA, c),
                         static_cast<float>(record.get(kGammaKeys[at]).asDouble().value_or(1.0)));
        if (const fnd::Data* curve = record.get(kCurveKeys[at]).asData(); curve && curve->size() == 256)
            SetCapStrValue(pool, ChannelCap(CCAP_OVKM_GRAYCURVE, c), *curve);
    }
}
