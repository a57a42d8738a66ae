// The foundation is one shared library per process: everything else in it is hidden, and its
// interface is marked with FND_EXPORT so that programs and the data source reach the same instance.
#pragma once

#define FND_EXPORT __attribute__((visibility("default")))
