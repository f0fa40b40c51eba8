// The few file operations the program needs, behind one small class so that
// the rest of the code is free of operating-system calls. Paths are UTF-8 on
// every system. NativeFilePosix.cpp and windows/NativeFile.cpp implement it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zorbik {

// Identifies a file independently of the path that reaches it (links): the
// device and inode numbers, or on Windows the volume serial number and the
// file index.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool valid = false;
    bool operator==(const FileIdentity& other) const
    {
        return valid && other.valid && device == other.device && inode == other.inode;
    }
};

// The identity of the file at `path`, following links; invalid when the
// path names no file.
FileIdentity IdentityOfPath(const std::string& path);

bool PathExists(const std::string& path);
bool RemoveFile(const std::string& path);
// Gives the file at `from` the name `to`, in one step, replacing a file of
// that name. Both lie in one folder. (Not ReplaceFile: windows.h takes
// that name for a macro.)
bool MoveOver(const std::string& from, const std::string& to);

class NativeFile {
public:
    enum class Kind { Regular, Directory, Other };
    // How an existing target file is treated.
    enum class Create {
        OpenAlways, // create if missing, keep the content of an existing file
        CreateNew,  // fail if the file exists
    };

    NativeFile() = default;
    ~NativeFile() { Close(); }
    NativeFile(const NativeFile&) = delete;
    NativeFile& operator=(const NativeFile&) = delete;

    // Opens an existing file for reading. Never blocks on FIFOs. On failure
    // errno says why.
    bool OpenRead(const std::string& path);
    // Opens a file for writing at offset 0. On failure errno says why.
    bool OpenWrite(const std::string& path, Create mode);
    bool IsOpen() const { return handle_ != -1; }

    Kind FileKind() const;
    // Size in bytes, or -1.
    std::int64_t Size() const;
    FileIdentity Identity() const;

    // Reads up to `n` bytes at `offset`; returns the bytes read (fewer at
    // the end of the file) or -1 on an error. Safe from several threads.
    std::int64_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) const;
    // Writes all `n` bytes at the current position; false on any failure.
    bool Write(const void* data, std::size_t n);
    // Cuts the file at the current position.
    bool CutHere();
    // Closes the file; false when the system reports an error on closing.
    bool Close();

private:
    // A file descriptor, or a Windows HANDLE (whose invalid value is -1 too).
    std::intptr_t handle_ = -1;
    std::uint64_t position_ = 0;
};

} // namespace zorbik
