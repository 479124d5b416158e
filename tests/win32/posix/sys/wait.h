// Windows build of the shared test sources: no child processes to wait for (see posix_compat.h).
#pragma once

#include <errno.h>
#include <sys/types.h>

#define WIFEXITED(status) (((status)&0x7f) == 0)
#define WEXITSTATUS(status) (((status) >> 8) & 0xff)

inline pid_t waitpid(pid_t, int*, int)
{
    errno = ECHILD;
    return -1;
}
