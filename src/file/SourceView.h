// The source file: opened read-only, its size taken once, its bytes read by
// offset. Bytes are fetched with positioned reads instead of a memory
// mapping, so another program shortening the file can never bring the
// process down; the reader just gets fewer bytes.
#pragma once

#include <cstdint>
#include <string>

#include "file/FileFailure.h"
#include "file/NativeFile.h"
#include "file/SourceBytes.h"

namespace zorbik {

class SourceView : public SourceBytes {
public:
    // Opens `path` read-only. Fails for missing, unreadable, empty and
    // non-regular files; Failure() says why.
    bool Open(const std::string& path);
    // Why the last Open failed.
    const FileFailure& Failure() const { return failure_; }
    void Release();
    bool IsOpen() const { return open_; }

    std::uint64_t Size() const override { return size_; }
    const std::string& Path() const { return path_; }
    FileIdentity Identity() const { return file_.Identity(); }

    // Copies up to `n` bytes from `offset`; returns the count copied, fewer
    // past the end, -1 on a read error.
    std::int64_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) const override;

private:
    NativeFile file_;
    std::string path_;
    std::uint64_t size_ = 0;
    bool open_ = false;
    FileFailure failure_;
};

} // namespace zorbik
