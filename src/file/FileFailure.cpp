#include "file/FileFailure.h"

#include <cerrno>
#include <cstring>

namespace zorbik {
namespace {

// The system's reasons a user meets most, in both languages; any other is
// told in the system's own words.
struct Reason {
    int error;
    const char* german;
    const char* english;
};
constexpr Reason kReasons[] = {
    {ENOENT, "Datei oder Ordner nicht gefunden", "No such file or directory"},
    {EACCES, "keine Berechtigung", "Permission denied"},
    {EPERM, "nicht erlaubt", "Operation not permitted"},
    {EROFS, "das Dateisystem ist schreibgeschützt", "Read-only file system"},
    {ENOSPC, "kein Platz mehr auf dem Datenträger", "No space left on device"},
    {EISDIR, "ist ein Ordner", "Is a directory"},
    {ENOTDIR, "ein Teil des Pfades ist kein Ordner", "Not a directory"},
    {EEXIST, "die Datei gibt es schon", "File exists"},
    {ENAMETOOLONG, "der Name ist zu lang", "File name too long"},
    {ELOOP, "zu viele verkettete Verknüpfungen", "Too many levels of symbolic links"},
    {EIO, "Ein-/Ausgabefehler", "Input/output error"},
    {EBUSY, "Gerät oder Datei belegt", "Device or resource busy"},
    {EMFILE, "zu viele offene Dateien", "Too many open files"},
};

std::string SystemReason(int error, bool german)
{
    for (const Reason& reason : kReasons)
        if (reason.error == error)
            return german ? reason.german : reason.english;
    return error != 0 ? std::strerror(error) : std::string();
}

} // namespace

std::string DescribeFileFailure(const FileFailure& failure, UiLanguage language)
{
    const bool de = language == UiLanguage::German;
    std::string why;
    switch (failure.kind) {
    case FileFailure::Kind::None:
        break;
    case FileFailure::Kind::CannotOpen:
        why = de ? "kann nicht geöffnet werden" : "cannot be opened";
        break;
    case FileFailure::Kind::NotRegular:
        why = de ? "ist keine gewöhnliche Datei" : "is not a regular file";
        break;
    case FileFailure::Kind::SizeUnknown:
        why = de ? "ihre Größe ist unbekannt" : "its size is unknown";
        break;
    case FileFailure::Kind::Empty:
        why = de ? "die Datei ist leer" : "the file is empty";
        break;
    case FileFailure::Kind::TooLarge:
        why = de ? "die Datei ist 4 GiB groß oder größer" : "the file is 4 GiB or larger";
        break;
    case FileFailure::Kind::Unreadable:
        why = de ? "kann nicht gelesen werden" : "cannot be read";
        break;
    case FileFailure::Kind::CannotCreate:
        why = de ? "kann nicht angelegt werden" : "cannot be created";
        break;
    case FileFailure::Kind::IsSource:
        why = de ? "ist die Quelldatei selbst" : "is the source file itself";
        break;
    case FileFailure::Kind::Exists:
        why = de ? "die Datei gibt es schon" : "the file exists";
        break;
    }
    const std::string system = SystemReason(failure.systemError, de);
    if (!system.empty() && failure.kind != FileFailure::Kind::Exists && failure.kind != FileFailure::Kind::IsSource)
        why += ": " + system;
    return failure.path + "\n" + why;
}

} // namespace zorbik
