#include "file/NativeFile.h"
#include "file/FileSystemPath.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zorbik {
namespace {

int Fd(std::intptr_t handle)
{
    return static_cast<int>(handle);
}

} // namespace

std::filesystem::path FileSystemPath(const std::string& utf8)
{
    return utf8;
}

FileIdentity IdentityOfPath(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return {};
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino), true};
}

bool PathExists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool RemoveFile(const std::string& path)
{
    return ::unlink(path.c_str()) == 0;
}

bool MoveOver(const std::string& from, const std::string& to)
{
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool NativeFile::OpenRead(const std::string& path)
{
    Close();
    // O_NONBLOCK keeps a FIFO from blocking the open; it is refused later.
    handle_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (handle_ < 0)
        return false;
    const int flags = ::fcntl(Fd(handle_), F_GETFL);
    if (flags >= 0)
        ::fcntl(Fd(handle_), F_SETFL, flags & ~O_NONBLOCK);
    position_ = 0;
    return true;
}

bool NativeFile::OpenWrite(const std::string& path, Create mode)
{
    Close();
    // O_NONBLOCK: opening a FIFO for writing would otherwise wait for a
    // reader for ever; it fails (ENXIO) or is refused below instead.
    int flags = O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK;
    if (mode == Create::CreateNew)
        flags |= O_EXCL;
    handle_ = ::open(path.c_str(), flags, 0666);
    if (handle_ < 0)
        return false;
    struct stat st {};
    if (::fstat(Fd(handle_), &st) != 0 || !S_ISREG(st.st_mode)) {
        Close();
        errno = EINVAL;
        return false;
    }
    const int status = ::fcntl(Fd(handle_), F_GETFL);
    if (status >= 0)
        ::fcntl(Fd(handle_), F_SETFL, status & ~O_NONBLOCK);
    position_ = 0;
    return true;
}

NativeFile::Kind NativeFile::FileKind() const
{
    struct stat st {};
    if (handle_ < 0 || ::fstat(Fd(handle_), &st) != 0)
        return Kind::Other;
    if (S_ISREG(st.st_mode))
        return Kind::Regular;
    if (S_ISDIR(st.st_mode))
        return Kind::Directory;
    return Kind::Other;
}

std::int64_t NativeFile::Size() const
{
    struct stat st {};
    if (handle_ < 0 || ::fstat(Fd(handle_), &st) != 0)
        return -1;
    return static_cast<std::int64_t>(st.st_size);
}

FileIdentity NativeFile::Identity() const
{
    struct stat st {};
    if (handle_ < 0 || ::fstat(Fd(handle_), &st) != 0)
        return {};
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino), true};
}

std::int64_t NativeFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t n) const
{
    auto* out = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < n) {
        const ssize_t got = ::pread(Fd(handle_), out + done, n - done, static_cast<off_t>(offset + done));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return static_cast<std::int64_t>(done);
}

bool NativeFile::Write(const void* data, std::size_t n)
{
    const auto* in = static_cast<const unsigned char*>(data);
    std::size_t done = 0;
    while (done < n) {
        const ssize_t put = ::write(Fd(handle_), in + done, n - done);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (put == 0)
            return false;
        done += static_cast<std::size_t>(put);
    }
    position_ += n;
    return true;
}

bool NativeFile::CutHere()
{
    return handle_ >= 0 && ::ftruncate(Fd(handle_), static_cast<off_t>(position_)) == 0;
}

bool NativeFile::Close()
{
    if (handle_ < 0)
        return true;
    const int result = ::close(Fd(handle_));
    handle_ = -1;
    return result == 0;
}

} // namespace zorbik
