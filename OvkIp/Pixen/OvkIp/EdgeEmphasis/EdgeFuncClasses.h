// The members of the edge-emphasis family: a kernel and a level rule each, and the choice of a member by
// image kind and level code.
#pragma once

#include "EdgeEmphasis/EdgeFuncKernel.h"

#include <memory>

// Copy classes: no kernel, no delay.
using CEdgeFuncNone = CEdgeFuncGray;
using CEdgeFunc1 = CEdgeFuncNone;
using CEdgeFuncR2 = CEdgeFuncNone;

// Grey, four neighbours.
using CEdgeFunc2 = CEdgeFuncKernel<GreyKernel, EdgeLevel::Cored2>;
using CEdgeFunc3 = CEdgeFuncKernel<GreyKernel, EdgeLevel::Cored3>;
using CEdgeFunc4 = CEdgeFuncKernel<GreyKernel, EdgeLevel::Cored4>;
using CEdgeFunc5 = CEdgeFuncKernel<GreyKernel, EdgeLevel::Cored5>;
using CEdgeFunc6 = CEdgeFuncKernel<GreyKernel, EdgeLevel::Limited<16>>;
using CEdgeFunc7 = CEdgeFuncKernel<GreyKernel, EdgeLevel::Limited<8>>;
using CEdgeFunc8 = CEdgeFuncKernel<GreyKernel, EdgeLevel::Limited<4>>;
using CEdgeFunc9 = CEdgeFuncKernel<GreyKernel, EdgeLevel::Limited<2>>;
using CEdgeFuncA = CEdgeFuncKernel<GreyKernel, EdgeLevel::Full>;

// One plane of line-order colour (the green and blue planes use the same classes).
using CEdgeFuncR1 = CEdgeFuncKernel<GreyKernel, EdgeLevel::Sixteenth>;
using CEdgeFuncR3 = CEdgeFunc3;
using CEdgeFuncR4 = CEdgeFunc4;
using CEdgeFuncR5 = CEdgeFunc5;

// Grey, five by three.
using CEdgeFuncMS1 = CEdgeFuncKernel<FiveByThreeKernel, EdgeLevel::Zero>;
using CEdgeFuncMS2 = CEdgeFuncKernel<FiveByThreeKernel, EdgeLevel::Gain<4>>;
using CEdgeFuncMS3 = CEdgeFuncKernel<FiveByThreeKernel, EdgeLevel::Gain<8>>;
using CEdgeFuncMS4 = CEdgeFuncKernel<FiveByThreeKernel, EdgeLevel::Gain<12>>;
using CEdgeFuncMS5 = CEdgeFuncKernel<FiveByThreeKernel, EdgeLevel::Gain<16>>;
using CEdgeFuncMSforGray1 = CEdgeFuncMS1;
using CEdgeFuncMSforGray2 = CEdgeFuncKernel<FiveByThreeKernel, EdgeLevel::Gain<2>>;
using CEdgeFuncMSforGray3 = CEdgeFuncKernel<FiveByThreeKernel, EdgeLevel::Gain<3>>;
using CEdgeFuncMSforGray4 = CEdgeFuncKernel<FiveByThreeKernel, EdgeLevel::Gain<5>>;
using CEdgeFuncMSforGray5 = CEdgeFuncKernel<FiveByThreeKernel, EdgeLevel::Gain<6>>;

// Pixel-order colour, each channel alone; the V2 levels 1 to 3 smooth.
using CEdgeFuncColorRGB1 = CEdgeFuncKernel<ChannelKernel, EdgeLevel::Zero>;
using CEdgeFuncColorRGB2 = CEdgeFuncKernel<ChannelKernel, EdgeLevel::Cored2>;
using CEdgeFuncColorRGB3 = CEdgeFuncKernel<ChannelKernel, EdgeLevel::Cored3>;
using CEdgeFuncColorRGB4 = CEdgeFuncKernel<ChannelKernel, EdgeLevel::Cored4>;
using CEdgeFuncColorRGB5 = CEdgeFuncKernel<ChannelKernel, EdgeLevel::Cored5>;
using CEdgeFuncColorV2RGB1 = CEdgeFuncKernel<ChannelAverageKernel, EdgeLevel::Average8>;
using CEdgeFuncColorV2RGB2 = CEdgeFuncKernel<ChannelAverageKernel, EdgeLevel::Average16And8>;
using CEdgeFuncColorV2RGB3 = CEdgeFuncKernel<ChannelAverageKernel, EdgeLevel::Average16>;
using CEdgeFuncColorV2RGB4 = CEdgeFuncColorRGB1;
using CEdgeFuncColorV2RGB5 = CEdgeFuncColorRGB3;

// Level codes of the grey and pixel-order colour families.
constexpr uint32_t kEdgeLevelV2 = 0x200;        // pixel-order colour, second series
constexpr uint32_t kEdgeLevelMS = 0x400;        // grey, five by three
constexpr uint32_t kEdgeLevelMSforGray = 0xC00; // grey, five by three, gentler gains

// The member for an image kind and level code; null when they select none (line-order colour needs a
// level of 1 to 5). Throws std::bad_alloc.
std::unique_ptr<CEdgeFunc> CreateEdgeFuncObject(uintptr_t kind, uint32_t level);
// The class of one plane of line-order colour for levels 1 to 5, else null.
std::unique_ptr<CEdgeFuncGray> CreatePlaneClass(uint32_t level);
