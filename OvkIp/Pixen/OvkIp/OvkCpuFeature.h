// Processor-feature tests of the analysis layer. Every feature reads as absent, so each caller takes its
// portable path; the answers are cached so that a caller may ask per band.
#pragma once

int IsMMXFeatureAvailable();
int IsSSE2FeatureAvailable();
