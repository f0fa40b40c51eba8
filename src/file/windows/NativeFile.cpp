// The file layer on Windows. Paths arrive as UTF-8 and are opened as wide
// characters, so that every name works whatever the system's code page; a
// file's identity is its volume serial number and file index, which hard
// links share.
#include "file/NativeFile.h"
#include "file/FileSystemPath.h"

#include <algorithm>
#include <cerrno>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace zorbik {
namespace {

// Others may read, write, rename and delete the files we have open, as on
// Linux: the conversion notices a target that vanished or was replaced.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// One ReadFile or WriteFile moves at most this many bytes.
constexpr std::size_t kMaxChunk = 1u << 30;

HANDLE AsHandle(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

// The wide-character form of a UTF-8 path; empty (a name no file has) when
// the path is not valid UTF-8 or holds a NUL.
std::wstring WidePath(const std::string& path)
{
    const int length = static_cast<int>(std::min<std::size_t>(path.size(), 0x7FFFFFFF));
    const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), length, nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), length, wide.data(), n);
    if (wide.find(L'\0') != std::wstring::npos)
        return {};
    return wide;
}

// The errno value for a Windows error, so that the reasons users meet most
// are told in their language as on Linux; 0 for the rest.
int ErrnoOf(DWORD code)
{
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_TOO_MANY_OPEN_FILES:
        return EMFILE;
    case ERROR_BUSY:
        return EBUSY;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
        return EIO;
    default:
        return 0;
    }
}

// Tells the last Windows error through errno, as the POSIX side does.
void SetErrno()
{
    errno = ErrnoOf(::GetLastError());
}

FileIdentity IdentityOfHandle(HANDLE handle)
{
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info))
        return {};
    return {info.dwVolumeSerialNumber, (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow, true};
}

// An OVERLAPPED that only carries a file offset, for positioned reads and
// writes on a handle opened for synchronous use.
OVERLAPPED At(std::uint64_t offset)
{
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return at;
}

} // namespace

std::filesystem::path FileSystemPath(const std::string& utf8)
{
    return WidePath(utf8);
}

FileIdentity IdentityOfPath(const std::string& path)
{
    // No access rights: only the identity is asked for. Backup semantics
    // lets a folder be opened too.
    const HANDLE handle = ::CreateFileW(WidePath(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return {};
    const FileIdentity identity = IdentityOfHandle(handle);
    ::CloseHandle(handle);
    return identity;
}

bool PathExists(const std::string& path)
{
    return ::GetFileAttributesW(WidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool RemoveFile(const std::string& path)
{
    return ::DeleteFileW(WidePath(path).c_str()) != 0;
}

bool MoveOver(const std::string& from, const std::string& to)
{
    return ::MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool NativeFile::OpenRead(const std::string& path)
{
    Close();
    // Backup semantics opens a folder as well, so that it is refused as
    // "not a regular file" like everywhere else.
    const HANDLE handle = ::CreateFileW(WidePath(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        SetErrno();
        return false;
    }
    handle_ = reinterpret_cast<std::intptr_t>(handle);
    position_ = 0;
    return true;
}

bool NativeFile::OpenWrite(const std::string& path, Create mode)
{
    Close();
    const DWORD disposition = mode == Create::CreateNew ? CREATE_NEW : OPEN_ALWAYS;
    const HANDLE handle = ::CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, kShareAll, nullptr, disposition,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        SetErrno();
        return false;
    }
    handle_ = reinterpret_cast<std::intptr_t>(handle);
    position_ = 0;
    // Devices such as NUL, CON or a pipe open like files but are no place
    // for a worksheet.
    if (FileKind() != Kind::Regular) {
        Close();
        errno = EINVAL;
        return false;
    }
    return true;
}

NativeFile::Kind NativeFile::FileKind() const
{
    if (!IsOpen() || ::GetFileType(AsHandle(handle_)) != FILE_TYPE_DISK)
        return Kind::Other;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(AsHandle(handle_), &info))
        return Kind::Other;
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return Kind::Directory;
    return Kind::Regular;
}

std::int64_t NativeFile::Size() const
{
    LARGE_INTEGER size{};
    if (!IsOpen() || !::GetFileSizeEx(AsHandle(handle_), &size))
        return -1;
    return size.QuadPart;
}

FileIdentity NativeFile::Identity() const
{
    return IsOpen() ? IdentityOfHandle(AsHandle(handle_)) : FileIdentity{};
}

std::int64_t NativeFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t n) const
{
    auto* out = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < n) {
        OVERLAPPED at = At(offset + done);
        DWORD got = 0;
        const auto chunk = static_cast<DWORD>(std::min(n - done, kMaxChunk));
        if (!::ReadFile(AsHandle(handle_), out + done, chunk, &got, &at)) {
            if (::GetLastError() == ERROR_HANDLE_EOF)
                break;
            return -1;
        }
        if (got == 0)
            break;
        done += got;
    }
    return static_cast<std::int64_t>(done);
}

bool NativeFile::Write(const void* data, std::size_t n)
{
    const auto* in = static_cast<const unsigned char*>(data);
    std::size_t done = 0;
    while (done < n) {
        OVERLAPPED at = At(position_ + done);
        DWORD put = 0;
        const auto chunk = static_cast<DWORD>(std::min(n - done, kMaxChunk));
        if (!::WriteFile(AsHandle(handle_), in + done, chunk, &put, &at) || put == 0)
            return false;
        done += put;
    }
    position_ += n;
    return true;
}

bool NativeFile::CutHere()
{
    if (!IsOpen())
        return false;
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(position_);
    return ::SetFilePointerEx(AsHandle(handle_), end, nullptr, FILE_BEGIN) && ::SetEndOfFile(AsHandle(handle_));
}

bool NativeFile::Close()
{
    if (!IsOpen())
        return true;
    const BOOL closed = ::CloseHandle(AsHandle(handle_));
    handle_ = -1;
    return closed != 0;
}

} // namespace zorbik
