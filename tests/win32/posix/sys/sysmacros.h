// Windows build of the shared test sources: device numbers, for the device nodes it cannot make
// (see mknod in posix_compat.h).
#pragma once

inline unsigned makedev(unsigned major, unsigned minor) { return (major << 8) | minor; }
