#include "file/FileFailure.h"

#include <cerrno>
#include <cstring>

namespace zorbik {
namespace {

// The system's reasons a user meets most, in the user's language; any other
// is told in the system's own words.
struct Reason {
    int error;
    MessageId text;
};
constexpr Reason kReasons[] = {
    {ENOENT, MessageId::SystemNoSuchFile},   {EACCES, MessageId::SystemPermissionDenied},
    {EPERM, MessageId::SystemNotPermitted},  {EROFS, MessageId::SystemReadOnly},
    {ENOSPC, MessageId::SystemDiskFull},     {EISDIR, MessageId::SystemIsFolder},
    {ENOTDIR, MessageId::SystemNotFolder},   {EEXIST, MessageId::SystemExists},
    {ENAMETOOLONG, MessageId::SystemNameTooLong}, {ELOOP, MessageId::SystemLinkLoop},
    {EIO, MessageId::SystemIoError},         {EBUSY, MessageId::SystemBusy},
    {EMFILE, MessageId::SystemTooManyFiles},
};

std::string SystemReason(int error, UiLanguage language)
{
    for (const Reason& reason : kReasons)
        if (reason.error == error)
            return std::string(Text(reason.text, language));
    return error != 0 ? std::strerror(error) : std::string();
}

MessageId KindText(FileFailure::Kind kind)
{
    switch (kind) {
    case FileFailure::Kind::None:
    case FileFailure::Kind::CannotOpen:
        break;
    case FileFailure::Kind::NotRegular:
        return MessageId::FileNotRegular;
    case FileFailure::Kind::SizeUnknown:
        return MessageId::FileSizeUnknown;
    case FileFailure::Kind::Empty:
        return MessageId::FileEmpty;
    case FileFailure::Kind::Unreadable:
        return MessageId::FileUnreadable;
    case FileFailure::Kind::CannotCreate:
        return MessageId::FileCannotCreate;
    case FileFailure::Kind::IsSource:
        return MessageId::FileIsSource;
    case FileFailure::Kind::Exists:
        return MessageId::FileExistsAlready;
    case FileFailure::Kind::LayoutIsFolder:
        return MessageId::LayoutIsFolder;
    case FileFailure::Kind::LayoutTooLarge:
        return MessageId::LayoutTooLarge;
    }
    return MessageId::FileCannotOpen;
}

} // namespace

std::string DescribeFileFailure(const FileFailure& failure, UiLanguage language)
{
    if (!failure.Failed())
        return failure.path;
    std::string why(Text(KindText(failure.kind), language));
    const std::string system = SystemReason(failure.systemError, language);
    if (!system.empty() && failure.kind != FileFailure::Kind::Exists && failure.kind != FileFailure::Kind::IsSource)
        why += ": " + system;
    return failure.path + "\n" + why;
}

} // namespace zorbik
