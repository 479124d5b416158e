// Bitmap files read at offsets, on POSIX systems.
#include "framework/core/dib.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace fw {

FileDibSource::FileDibSource(const char* path)
{
    if (path == nullptr || *path == '\0')
        return;
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0) {
        ::close(fd);
        return;
    }
    m_fd = fd;
    m_size = static_cast<std::uint64_t>(st.st_size);
}

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
