// The few POSIX calls the shared test sources use, for their Windows build (forced in with
// -include). Folder and environment helpers work; process and ownership calls report failure,
// and the tests that need them are left out of the Windows runs.
#pragma once

#include <direct.h>
#include <errno.h>
#include <process.h>
#include <stdlib.h>
#include <string.h>
#include <sys/types.h>

#include <random>

using uid_t = int;
using gid_t = int;

inline char* mkdtemp(char* pattern)
{
    const size_t length = strlen(pattern);
    if (length < 6 || strcmp(pattern + length - 6, "XXXXXX") != 0) {
        errno = EINVAL;
        return nullptr;
    }
    static std::mt19937 random{std::random_device{}()};
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (size_t i = length - 6; i < length; ++i)
            pattern[i] = kLetters[random() % 36];
        if (_mkdir(pattern) == 0)
            return pattern;
        if (errno != EEXIST)
            return nullptr;
    }
    return nullptr;
}

inline int setenv(const char* name, const char* value, int overwrite)
{
    if (!overwrite && getenv(name) != nullptr)
        return 0;
    return _putenv_s(name, value) == 0 ? 0 : -1;
}

// Windows paths are wide: the value of a path's c_str().
inline int setenv(const char* name, const wchar_t* value, int overwrite)
{
    if (!overwrite && getenv(name) != nullptr)
        return 0;
    char narrow[1024] = {};
    wcstombs(narrow, value, sizeof narrow - 1);
    return _putenv_s(name, narrow) == 0 ? 0 : -1;
}

inline int unsetenv(const char* name) { return _putenv_s(name, "") == 0 ? 0 : -1; }

inline pid_t fork()
{
    errno = ENOSYS;
    return -1;
}
inline uid_t geteuid() { return 1000; } // never the superuser
inline int setresuid(uid_t, uid_t, uid_t) { return -1; }
inline int setresgid(gid_t, gid_t, gid_t) { return -1; }
inline int chown(const char*, uid_t, gid_t) { return 0; }
inline int chown(const wchar_t*, uid_t, gid_t) { return 0; }
inline int symlink(const char*, const char*)
{
    errno = ENOSYS;
    return -1;
}

inline int mkfifo(const char*, int)
{
    errno = ENOSYS; // Windows has no named pipes in the file system
    return -1;
}

inline int mknod(const char*, int, unsigned)
{
    errno = ENOSYS; // nor device nodes
    return -1;
}
