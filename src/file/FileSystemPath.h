// The std::filesystem::path of a UTF-8 path, for the few places that use the
// standard library's files: on Windows a narrow string would be read in the
// system's code page, so it is widened from UTF-8 there.
#pragma once

#include <filesystem>
#include <string>

namespace zorbik {

std::filesystem::path FileSystemPath(const std::string& utf8);

} // namespace zorbik
