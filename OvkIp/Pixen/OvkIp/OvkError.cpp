// Last-error cell and throw helpers of the analysis layer. The cell is atomic only so that two scanners
// driven from two threads cannot race on it; its meaning stays "code of the latest entry point".
#include "OvkError.h"

#include <atomic>
#include <new>
#include <stdexcept>

namespace {
std::atomic<int32_t> nIpLastError{0};
}

int IpGetLastError() {
    return nIpLastError.load(std::memory_order_relaxed);
}

void IpSetLastError(int code) {
    nIpLastError.store(code, std::memory_order_relaxed);
}

void OnErrorThrow(int code) {
    if (code != 0) {
        throw code;
    }
}

void OnAssertThrow(bool condition, int code) {
    if (!condition) {
        throw code;
    }
}

void OnErrorThrowLong(long code) {
    throw code;
}

int IpCaughtCode() noexcept {
    try {
        throw;
    } catch (int code) {
        return code;
    } catch (long code) {
        return static_cast<int>(code);
    } catch (const std::bad_alloc&) {
        return kIpNotEnoughMemory;
    } catch (const std::length_error&) {
        return kIpNotEnoughMemory;
    } catch (...) {
        return kIpBadParameter;
    }
}
