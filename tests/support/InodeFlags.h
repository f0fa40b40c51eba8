// Flags that even root cannot write through (FS_IMMUTABLE_FL, FS_APPEND_FL);
// not every file system has them.
#pragma once

#include <string>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace zorbik::testing {

// Sets or clears `flag` on the file at `path`; false where that failed.
inline bool SetInodeFlag(const std::string& path, int flag, bool on)
{
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? flags | flag : flags & ~flag;
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return done;
}

} // namespace zorbik::testing
