// Bitmap files read at offsets, on POSIX systems.
#include "framework/core/dib.h"

#include <unistd.h>

#include <cerrno>

#include "framework/core/system.h"

namespace fw {

FileDibSource::FileDibSource(const char* path) { m_fd = OpenRegularFile(path, &m_size); }

FileDibSource::~FileDibSource()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool FileDibSource::ReadAt(std::uint64_t offset, std::span<BYTE> dst)
{
    if (m_fd < 0 || offset > m_size || dst.size() > m_size - offset)
        return false;
    std::size_t done = 0;
    while (done < dst.size()) {
        const ssize_t n = ::pread(m_fd, dst.data() + done, dst.size() - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) // the file shrank since it was opened, or cannot be read
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace fw
