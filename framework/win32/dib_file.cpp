// Bitmap files read at offsets, on Windows (the C runtime's descriptors, binary mode).
#include "framework/core/dib.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstdio>

namespace fw {

FileDibSource::FileDibSource(const char* path)
{
    if (path == nullptr || *path == '\0')
        return;
    const int fd = ::_open(path, _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    if (fd < 0)
        return;
    // Devices (CON, NUL, COM1) open too: only a regular file is a bitmap file.
    struct _stat64 st {};
    if (::_fstat64(fd, &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG || st.st_size < 0) {
        ::_close(fd);
        return;
    }
    m_fd = fd;
    m_size = static_cast<std::uint64_t>(st.st_size);
}

FileDibSource::~FileDibSource()
{
    if (m_fd >= 0)
        ::_close(m_fd);
}

bool FileDibSource::ReadAt(std::uint64_t offset, std::span<BYTE> dst)
{
    if (m_fd < 0 || offset > m_size || dst.size() > m_size - offset)
        return false;
    if (::_lseeki64(m_fd, static_cast<__int64>(offset), SEEK_SET) < 0)
        return false;
    std::size_t done = 0;
    while (done < dst.size()) {
        const std::size_t chunk = std::min<std::size_t>(dst.size() - done, INT_MAX);
        const int n = ::_read(m_fd, dst.data() + done, static_cast<unsigned>(chunk));
        if (n <= 0) // the file shrank since it was opened, or cannot be read
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace fw
