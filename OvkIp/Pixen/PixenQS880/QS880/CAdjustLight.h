// Lamp calibration as a step machine: each step evaluates the calibration scan made with the registers
// of the previous step (dark, saturated, lamps at a low and at a reference power) and writes the
// registers of the next scan, so that black sits at a fixed code and white reaches a fixed level.
#pragma once

#include "CIPBase.h"
#include "CImg.h"
#include "QS880Records.h"

#include <cstdint>

namespace Ovk::Pixen::QS880 {

class CAdjustLight {
public:
    struct LightParams {
        std::int32_t lPower;
        std::int32_t lLevel;
    };
    // One colour's power and the matching limit.
    struct tagRGBPower {
        std::int32_t red;
        std::int32_t green;
        std::int32_t blue;
    };

    // Starts a calibration: step 0, measurements cleared, registers for the first (dark) scan.
    void AdjustLightFirst(tagADJUSTINFO* info);
    // One step on the one-line 16-bit scans of the front and (two-sided) back; 4 after the last step.
    std::int32_t AdjustLightNext(CImg& front, CImg& back, tagADJUSTINFO* info);
    // Applies the device's light curve for the side's lamp setting to the white reference, in place.
    std::int32_t AdjustLightCurve(CImg& white, CImg& black, tagADJUSTINFO* info, tagSIDE side,
                                  const std::uint8_t* data, std::uint32_t size);

    // Offset register that moves the dark level m to target; the correction is truncated before it
    // is applied, then the register is limited to 0..255.
    static std::int32_t GetOffsetRegister_Feeder(std::int32_t m, std::int32_t gain, std::int32_t offset,
                                                 std::int32_t target);
    // Gain register that brings the brightest sample M to target.
    static std::int32_t GetGainRegister(std::int32_t M, std::int32_t gain, std::int32_t target);
    // Lamp power for the target level on the line through the measurements of slots a and b.
    std::uint16_t CalcLightPowerColor(const tagADJUSTINFO& info, tagSIDE side, int a, int b) const;
    // Scales a side's three powers down together when one exceeds its limit at the resolution.
    static void CheckRegLimit(tagADJUSTINFO& info, tagSIDE side);
    static tagRGBPower GetAvairableLampPower(std::int32_t xResolution);

    std::uint8_t getStep() const { return m_ucStep; }
    const LightParams& getParams(int slot) const { return m_LightParams[slot]; }

private:
    std::int32_t AdjustAnaproOffset(CImg& front, CImg& back, tagADJUSTINFO& info);
    std::int32_t AdjustAnaproGain(CImg& front, CImg& back, tagADJUSTINFO& info);
    void AdjustLight_GetSensorLevelInit(tagADJUSTINFO& info, std::int32_t power, std::int32_t mode);
    std::int32_t AdjustLight_GetSensorLevel(CImg& front, CImg& back, const tagADJUSTINFO& info);
    void AdjustLightInit(tagADJUSTINFO& info);
    std::int32_t AdjustLight(CImg& front, CImg& back, tagADJUSTINFO& info);
    void SetLightPowerColor(tagADJUSTINFO& info);
    // Copies slots first..first+7 to to..to+7, a power of -1 standing for the record's lamp power.
    void copyMeasurement(const tagADJUSTINFO& info, int to);
    std::int32_t evaluate(CImg& front, CImg& back, tagADJUSTINFO& info);
    void prepare(tagADJUSTINFO& info);

    std::uint8_t m_ucStep = 0;
    std::int32_t m_lPower = 0; // power under measurement; -1: the powers in the record
    std::int32_t m_lMode = 0;  // bit 0: measure maxima; 0x8000: keep the record's powers
    LightParams m_LightParams[30]{};
};

} // namespace Ovk::Pixen::QS880
