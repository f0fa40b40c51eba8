#include "source/SourceView.h"

namespace zorbik {

bool SourceView::Open(const std::string& path, std::string* error)
{
    Release();
    if (!file_.OpenRead(path, error))
        return false;
    auto fail = [&](const char* why) {
        if (error != nullptr)
            *error = path + ": " + why;
        file_.Close();
        return false;
    };
    if (file_.FileKind() != NativeFile::Kind::Regular)
        return fail("not a regular file");
    const std::int64_t size = file_.Size();
    if (size < 0)
        return fail("size unknown");
    if (size == 0)
        return fail("the file is empty");
    if (static_cast<std::uint64_t>(size) > kMaxSize)
        return fail("the file is 4 GiB or larger");
    // A file we may open but not read (a directory-like object, a
    // revoked permission) is found out here rather than half-way through.
    unsigned char probe;
    if (file_.ReadAt(0, &probe, 1) != 1)
        return fail("cannot be read");
    size_ = static_cast<std::uint32_t>(size);
    path_ = path;
    open_ = true;
    return true;
}

void SourceView::Release()
{
    file_.Close();
    open_ = false;
    size_ = 0;
    path_.clear();
}

std::int64_t SourceView::ReadAt(std::uint64_t offset, void* buffer, std::size_t n) const
{
    if (!open_)
        return -1;
    return file_.ReadAt(offset, buffer, n);
}

} // namespace zorbik
