// The fields of TlvScanSettingMdl in declaration order, as one list that the model expands into its
// members, accessors and dictionary form:
//   SIMPLE(type, Name, getter, default)  a simple setting, stored under "ScnMdl<Name>Key"
//   CAP(type, Name, getter, default)     a capability mirror, stored under "Scn<Name>Key"
// The member is m<Name>, the setter set<Name>. Defaults may use `centimeters` (the user's unit) and
// `linear` (the identity tone table).
#pragma once

#define TLV_SCAN_SETTING_FIELDS(SIMPLE, CAP)                                                                 \
    SIMPLE(bool, IsUseDriverSetting, isUseDriverSetting, false)                                              \
    SIMPLE(std::int32_t, ScnStColType, scnStColType, 1)                                                      \
    SIMPLE(std::int32_t, ScnStPapSizeType, scnStPapSizeType, 0)                                              \
    SIMPLE(std::int32_t, ScnStDirectionType, scnStDirectionType, 0)                                          \
    SIMPLE(std::int32_t, ScnStResType, scnStResType, 1)                                                      \
    SIMPLE(std::int32_t, ScnStReaderSideType, scnStReaderSideType, 1)                                        \
    SIMPLE(bool, IsRevisionSlope, isRevisionSlope, true)                                                     \
    SIMPLE(bool, IsRecCharDir, isRecCharDir, false)                                                          \
    CAP(std::int16_t, CAP_XFERCOUNT, cap_XFERCOUNT, -1)                                                      \
    CAP(std::uint16_t, CAP_AUTOFEED, cap_AUTOFEED, 1)                                                        \
    CAP(std::int32_t, CCAP_OVKM_SCANAREA_X, ccap_OVKM_SCANAREA_X, 0)                                         \
    CAP(std::int32_t, CCAP_OVKM_SCANAREA_Y, ccap_OVKM_SCANAREA_Y, 0)                                         \
    CAP(std::int32_t, CCAP_OVKM_SCANAREA_WIDTH, ccap_OVKM_SCANAREA_WIDTH, 0)                                 \
    CAP(std::int32_t, CCAP_OVKM_SCANAREA_HEIGHT, ccap_OVKM_SCANAREA_HEIGHT, 0)                               \
    CAP(std::int32_t, CCAP_OVKM_UNIT, ccap_OVKM_UNIT, centimeters ? 2 : 1)                                   \
    CAP(std::int32_t, CCAP_OVKM_CUSTOM_SCANAREA, ccap_OVKM_CUSTOM_SCANAREA, 0)                               \
    CAP(std::int32_t, CCAP_OVK_MARGINLENGTH, ccap_OVK_MARGINLENGTH, 0)                                       \
    CAP(std::uint16_t, ICAP_PIXELTYPE, icap_PIXELTYPE, 2)                                                    \
    CAP(std::int32_t, CCAP_OVK_TEXTENHANCE, ccap_OVK_TEXTENHANCE, 0)                                         \
    CAP(std::int32_t, CCAP_OVK_TEXTENHANCE_BRIGHTNESS, ccap_OVK_TEXTENHANCE_BRIGHTNESS, 128)                 \
    CAP(std::int32_t, CCAP_OVK_TEXTENHANCE_CONTRAST, ccap_OVK_TEXTENHANCE_CONTRAST, 128)                     \
    CAP(TlvHalftoneData, ICAP_HALFTONES, icap_HALFTONES, TlvScanSettingMdl::noneHalftone())                  \
    CAP(std::int32_t, CCAP_OVK_DETECTPAGETYPE, ccap_OVK_DETECTPAGETYPE, 1)                                   \
    CAP(std::int32_t, CCAP_OVK_DETECTPAGETYPE_THRESHOLD, ccap_OVK_DETECTPAGETYPE_THRESHOLD, 2)               \
    CAP(std::int32_t, CCAP_OVK_DETECTPAGETYPE_AMOUNT, ccap_OVK_DETECTPAGETYPE_AMOUNT, 2)                     \
    CAP(std::int32_t, CCAP_OVKM_DETECTPAGETYPE_BWMODE, ccap_OVKM_DETECTPAGETYPE_BWMODE, 0)                   \
    CAP(float, ICAP_XRESOLUTION, icap_XRESOLUTION, 200.0f)                                                   \
    CAP(float, ICAP_YRESOLUTION, icap_YRESOLUTION, 200.0f)                                                   \
    CAP(std::uint16_t, CAP_DUPLEXENABLED, cap_DUPLEXENABLED, 1)                                              \
    CAP(std::int32_t, CCAP_OVK_BLANKSKIP, ccap_OVK_BLANKSKIP, 0)                                             \
    CAP(std::int32_t, CCAP_OVK_FOLDLARGESIZE, ccap_OVK_FOLDLARGESIZE, 0)                                     \
    CAP(std::int32_t, CCAP_OVK_BLANKSKIPSLICE3, ccap_OVK_BLANKSKIPSLICE3, 10)                                \
    CAP(std::int32_t, CCAP_OVKM_PAPERSIZE, ccap_OVKM_PAPERSIZE, -2)                                          \
    CAP(std::int32_t, CCAP_OVK_DETECTPAGESIZE, ccap_OVK_DETECTPAGESIZE, 1)                                   \
    CAP(TlvCapName, CCAP_OVKM_CUSTOMPAGESIZENAME, ccap_OVKM_CUSTOMPAGESIZENAME, std::nullopt)                \
    CAP(std::int32_t, CCAP_OVK_DESKEW, ccap_OVK_DESKEW, 1)                                                   \
    CAP(std::int32_t, CCAP_OVK_REDUCE_MOIRE, ccap_OVK_REDUCE_MOIRE, 1)                                       \
    CAP(float, ICAP_BRIGHTNESS, icap_BRIGHTNESS, 0.0f)                                                       \
    CAP(float, ICAP_BRIGHTNESS_Back, icap_BRIGHTNESS_Back, 0.0f)                                             \
    CAP(std::uint16_t, CCAP_OVKM_BACKBRIGHTNESSENABLED, ccap_OVKM_BACKBRIGHTNESSENABLED, 0)                  \
    CAP(float, ICAP_CONTRAST, icap_CONTRAST, 0.0f)                                                           \
    CAP(float, ICAP_CONTRAST_Back, icap_CONTRAST_Back, 0.0f)                                                 \
    CAP(std::uint16_t, CCAP_OVKM_BACKCONTRASTENABLED, ccap_OVKM_BACKCONTRASTENABLED, 0)                      \
    CAP(std::int32_t, CCAP_OVK_EDGEEMPHASIS, ccap_OVK_EDGEEMPHASIS, 3)                                       \
    CAP(std::int32_t, CCAP_OVK_DATAORIENTATION, ccap_OVK_DATAORIENTATION, 1)                                 \
    CAP(std::int32_t, CCAP_OVK_REVERSESCANTYPE, ccap_OVK_REVERSESCANTYPE, 0)                                 \
    CAP(std::int32_t, CCAP_OVK_RECOGNIZE_DIRECTION, ccap_OVK_RECOGNIZE_DIRECTION, 0)                         \
    CAP(std::int32_t, CCAP_OVK_BLEEDTHROUGH, ccap_OVK_BLEEDTHROUGH, 0)                                       \
    CAP(std::int32_t, CCAP_OVK_BLEEDTHROUGH_THRESHOLD, ccap_OVK_BLEEDTHROUGH_THRESHOLD, 4)                   \
    CAP(std::int32_t, CCAP_OVK_DROPOUT, ccap_OVK_DROPOUT, 0)                                                 \
    CAP(std::int32_t, CCAP_OVK_DROPOUT_Back, ccap_OVK_DROPOUT_Back, 0)                                       \
    CAP(std::int32_t, CCAP_OVK_COLORENHANCE, ccap_OVK_COLORENHANCE, 0)                                       \
    CAP(std::int32_t, CCAP_OVK_COLORENHANCE_Back, ccap_OVK_COLORENHANCE_Back, 0)                             \
    CAP(std::int32_t, CCAP_OVK_FEEDER_JAMLESS, ccap_OVK_FEEDER_JAMLESS, 0)                                   \
    CAP(std::int32_t, CCAP_OVK_DETECTDBLFEED_LENGTH, ccap_OVK_DETECTDBLFEED_LENGTH, 0)                       \
    CAP(std::int32_t, CCAP_OVK_DETECTDBLFEED_ULTRASONIC, ccap_OVK_DETECTDBLFEED_ULTRASONIC, 0)               \
    CAP(std::int32_t, CCAP_OVK_MANUALFEED, ccap_OVK_MANUALFEED, 0)                                           \
    CAP(std::int32_t, CCAP_OVK_AUTOSTARTDELAY, ccap_OVK_AUTOSTARTDELAY, 0)                                   \
    CAP(std::int32_t, CCAP_OVK_PRESCAN, ccap_OVK_PRESCAN, 0)                                                 \
    CAP(TlvToneTable, CCAP_OVKM_GRAYCURVE, ccap_OVKM_GRAYCURVE, linear)                                      \
    CAP(TlvToneTable, CCAP_OVKM_REDCURVE, ccap_OVKM_REDCURVE, linear)                                        \
    CAP(TlvToneTable, CCAP_OVKM_GREENCURVE, ccap_OVKM_GREENCURVE, linear)                                    \
    CAP(TlvToneTable, CCAP_OVKM_BLUECURVE, ccap_OVKM_BLUECURVE, linear)                                      \
    CAP(float, CCAP_OVKM_GRAYGAMMA, ccap_OVKM_GRAYGAMMA, 1.0f)                                               \
    CAP(float, CCAP_OVKM_REDGAMMA, ccap_OVKM_REDGAMMA, 1.0f)                                                 \
    CAP(float, CCAP_OVKM_GREENGAMMA, ccap_OVKM_GREENGAMMA, 1.0f)                                             \
    CAP(float, CCAP_OVKM_BLUEGAMMA, ccap_OVKM_BLUEGAMMA, 1.0f)                                               \
    CAP(TlvToneTable, CCAP_OVKM_GRAYCURVE_Back, ccap_OVKM_GRAYCURVE_Back, linear)                            \
    CAP(TlvToneTable, CCAP_OVKM_REDCURVE_Back, ccap_OVKM_REDCURVE_Back, linear)                              \
    CAP(TlvToneTable, CCAP_OVKM_GREENCURVE_Back, ccap_OVKM_GREENCURVE_Back, linear)                          \
    CAP(TlvToneTable, CCAP_OVKM_BLUECURVE_Back, ccap_OVKM_BLUECURVE_Back, linear)                            \
    CAP(float, CCAP_OVKM_GRAYGAMMA_Back, ccap_OVKM_GRAYGAMMA_Back, 1.0f)                                     \
    CAP(float, CCAP_OVKM_REDGAMMA_Back, ccap_OVKM_REDGAMMA_Back, 1.0f)                                       \
    CAP(float, CCAP_OVKM_GREENGAMMA_Back, ccap_OVKM_GREENGAMMA_Back, 1.0f)                                   \
    CAP(float, CCAP_OVKM_BLUEGAMMA_Back, ccap_OVKM_BLUEGAMMA_Back, 1.0f)                                     \
    CAP(std::int32_t, CCAP_OVKM_GAMMAMODE, ccap_OVKM_GAMMAMODE, 0)                                           \
    CAP(std::uint32_t, CCAP_OVKM_GAMMAMETHOD, ccap_OVKM_GAMMAMETHOD, 0)                                      \
    CAP(TlvCapName, CCAP_OVKM_CUSTOMGAMMANAME, ccap_OVKM_CUSTOMGAMMANAME, std::nullopt)                      \
    CAP(TlvCapName, CCAP_OVKM_FAVORITENAME, ccap_OVKM_FAVORITENAME, std::nullopt)
