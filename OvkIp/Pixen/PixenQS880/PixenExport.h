// Marks what libPixenQS880.so shows to the data source: the image object and the pipeline's entry
// points. Everything else is built with hidden visibility and stays inside the library.
#pragma once

#define PIXENQS880_EXPORT __attribute__((visibility("default")))
