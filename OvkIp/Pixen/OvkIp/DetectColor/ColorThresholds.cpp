// The three built-in tables, written as runs of levels that share a threshold.
#include "DetectColor/ColorThresholds.h"

#include <initializer_list>

namespace {
struct Run {
    int last; // the run covers the levels after the previous run up to this one
    uint8_t value;
};

// Levels 0 .. identityEnd equal their index; the runs fill the rest up to 255.
ColorThresholdTable makeTable(int identityEnd, std::initializer_list<Run> runs) {
    ColorThresholdTable table{};
    int level = 0;
    for (; level <= identityEnd; ++level)
        table[level] = static_cast<uint8_t>(level);
    for (const Run& run : runs)
        for (; level <= run.last; ++level)
            table[level] = run.value;
    return table;
}
} // namespace

const ColorThresholdTable g_threshold_table1 = makeTable(
    60, {{61, 55}, {62, 49},  {63, 44},  {64, 40},  {65, 37},  {66, 35},  {67, 33},  {68, 31}, {69, 29},
         {70, 28}, {71, 27},  {72, 26},  {74, 25},  {75, 24},  {77, 23},  {80, 22},  {83, 21}, {87, 20},
         {95, 19}, {152, 18}, {174, 19}, {192, 20}, {210, 21}, {227, 22}, {243, 23}, {255, 24}});

const ColorThresholdTable g_threshold_table2 =
    makeTable(60, {{61, 60},  {62, 54},  {63, 49},  {64, 45},  {65, 42},  {66, 40},  {67, 38},  {68, 36},
                   {69, 35},  {70, 34},  {71, 33},  {72, 32},  {74, 31},  {75, 30},  {78, 29},  {81, 28},
                   {88, 27},  {109, 26}, {123, 27}, {133, 28}, {142, 29}, {150, 30}, {159, 31}, {166, 32},
                   {174, 33}, {182, 34}, {189, 35}, {197, 36}, {204, 37}, {211, 38}, {218, 39}, {225, 40},
                   {233, 41}, {240, 42}, {247, 43}, {254, 44}, {255, 45}});

const ColorThresholdTable g_threshold_table3 = makeTable(
    62, {{63, 57},  {64, 53},  {65, 51},  {66, 48},  {67, 47},  {68, 45},  {69, 44},  {70, 43},  {71, 42},
         {73, 41},  {75, 40},  {79, 39},  {95, 38},  {102, 39}, {108, 40}, {113, 41}, {118, 42}, {123, 43},
         {127, 44}, {131, 45}, {136, 46}, {140, 47}, {144, 48}, {148, 49}, {152, 50}, {156, 51}, {160, 52},
         {164, 53}, {168, 54}, {171, 55}, {175, 56}, {179, 57}, {183, 58}, {187, 59}, {190, 60}, {194, 61},
         {198, 62}, {202, 63}, {205, 64}, {209, 65}, {213, 66}, {217, 67}, {220, 68}, {224, 69}, {228, 70},
         {231, 71}, {235, 72}, {239, 73}, {242, 74}, {246, 75}, {250, 76}, {253, 77}, {255, 78}});
