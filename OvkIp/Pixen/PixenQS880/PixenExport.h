// Marks what libPixenQS880.so shows to the data source: the image object and the pipeline's entry
// points. Everything else is built with hidden visibility and stays inside the library.
#pragma once

#define PIXENQS880_EXPORT __attribute__((visibility("default")))
// Members of an exported class that only the library itself (and what links it statically) calls.
#define PIXENQS880_INTERNAL __attribute__((visibility("hidden")))
