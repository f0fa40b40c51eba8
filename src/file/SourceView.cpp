#include "file/SourceView.h"

#include <cerrno>

namespace zorbik {

bool SourceView::Open(const std::string& path)
{
    Release();
    failure_ = {FileFailure::Kind::None, 0, path};
    if (!file_.OpenRead(path)) {
        failure_ = {FileFailure::Kind::CannotOpen, errno, path};
        return false;
    }
    auto fail = [&](FileFailure::Kind kind) {
        failure_.kind = kind;
        file_.Close();
        return false;
    };
    if (file_.FileKind() != NativeFile::Kind::Regular)
        return fail(FileFailure::Kind::NotRegular);
    const std::int64_t size = file_.Size();
    if (size < 0)
        return fail(FileFailure::Kind::SizeUnknown);
    if (size == 0)
        return fail(FileFailure::Kind::Empty);
    // A file we may open but not read (a directory-like object, a
    // revoked permission) is found out here rather than half-way through.
    unsigned char probe;
    if (file_.ReadAt(0, &probe, 1) != 1)
        return fail(FileFailure::Kind::Unreadable);
    size_ = static_cast<std::uint64_t>(size);
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
