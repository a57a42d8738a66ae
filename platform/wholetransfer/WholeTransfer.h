// Whole reads and writes over descriptors and sockets: the system may move fewer bytes than asked or be
// interrupted by a signal, so the transfer is repeated until every byte has moved or it truly fails.
#pragma once

#include <cerrno>
#include <cstddef>
#include <sys/types.h>

namespace fnd {

// Repeats transfer(data, n), which returns what read, write, recv or send return, until size bytes have
// moved. A signal only retries; an error fails with its errno, a transfer of nothing (end of file,
// closed peer) fails with EIO.
template <class Byte, class Transfer> bool transferAll(Byte* data, std::size_t size, Transfer transfer) {
    while (size > 0) {
        const ssize_t n = transfer(data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace fnd
