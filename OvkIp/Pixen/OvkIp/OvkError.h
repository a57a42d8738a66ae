// Failure convention of the analysis layer: a process-wide last-error cell plus integer codes thrown inside
// the layer and turned back into codes at each entry point, so no exception ever leaves the library.
#pragma once

#include <cstdint>

// Codes of the last-error cell and of the layer's small code set.
constexpr int kIpSuccess = 0;
constexpr int kIpNotEnoughMemory = 8; // also an image that could not be made or processed
constexpr int kIpBadParameter = 87;
constexpr int kIpNotImplemented = 120;

// The last code stored by an entry point of the process; 0 at load.
int IpGetLastError();
void IpSetLastError(int code);

// Throws code as an int when it is not 0.
void OnErrorThrow(int code);
// Throws code as an int when condition is false; stands in for assertions on anything a caller controls.
void OnAssertThrow(bool condition, int code);
// Throws code as a long: the rotation and adaptive-region code use this width.
[[noreturn]] void OnErrorThrowLong(long code);

// Maps the exception in flight to a layer code: int and long codes pass unchanged, allocation failures
// give 8, anything else 87. Call only inside a catch block; an entry point typically does
//   IpSetLastError(kIpSuccess);
//   try { ... } catch (...) { IpSetLastError(IpCaughtCode()); return failure; }
int IpCaughtCode() noexcept;
