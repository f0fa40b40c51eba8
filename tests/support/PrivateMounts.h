// Small file systems of a test's own: a mount namespace private to the
// calling thread (and the threads it starts afterwards), so that a test may
// mount a tiny tmpfs to fill up without touching the machine's mounts.
#pragma once

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

namespace zorbik::testing {

// Mounts made after this are seen by this thread and the threads and
// children it starts, and vanish with them. Empty when that worked, else
// why not.
inline std::string EnterPrivateMounts()
{
    static const std::string failure = [] {
        if (::unshare(CLONE_NEWNS) != 0)
            return std::string("unshare(CLONE_NEWNS): ") + std::strerror(errno);
        if (::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            return std::string("making mounts private: ") + std::strerror(errno);
        return std::string();
    }();
    return failure;
}

// A tmpfs mounted on a new folder for one test, unmounted when it goes.
class Tmpfs {
public:
    Tmpfs(const std::string& at, const std::string& options) : at_(at)
    {
        ::mkdir(at.c_str(), 0755);
        mounted_ = ::mount("tmpfs", at.c_str(), "tmpfs", 0, options.c_str()) == 0;
        error_ = mounted_ ? "" : std::strerror(errno);
    }
    ~Tmpfs()
    {
        if (mounted_)
            ::umount2(at_.c_str(), MNT_DETACH);
    }
    Tmpfs(const Tmpfs&) = delete;
    Tmpfs& operator=(const Tmpfs&) = delete;

    bool Mounted() const { return mounted_; }
    const std::string& Error() const { return error_; }
    std::uint64_t FreeBlocks() const
    {
        struct statvfs st {};
        ::statvfs(at_.c_str(), &st);
        return st.f_bfree;
    }

private:
    std::string at_;
    bool mounted_ = false;
    std::string error_;
};

} // namespace zorbik::testing
