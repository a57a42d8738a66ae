// Processor-feature tests of the analysis layer: non-zero when the processor offers the feature that a
// vector path needs. The answers are cached, so a caller may ask per band or per line.
#pragma once

int IsMMXFeatureAvailable();
int IsSSE2FeatureAvailable();
