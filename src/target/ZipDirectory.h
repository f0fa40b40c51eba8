// The members of a zip file as its central directory lists them. A library
// that writes an archive may copy a member short without noticing (a full
// disk while it copies a temporary file); the sizes the directory records
// show it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace zorbik {

// The uncompressed size of every member of the zip file at `path`, by name,
// ZIP64 archives and members included; nothing when the file cannot be read
// or its directory is broken.
std::optional<std::map<std::string, std::uint64_t>> ZipMemberSizes(const std::string& path);

} // namespace zorbik
