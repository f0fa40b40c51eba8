// A scratch folder that is removed with everything in it, and whole-file
// reads and writes.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace zorbik::testing {

class TempDir {
public:
    TempDir()
    {
        // A name nobody has taken: create_directory fails on an existing one.
        std::random_device random;
        std::filesystem::path path;
        do
            path = std::filesystem::temp_directory_path() / ("zorbik-test-" + std::to_string(random()));
        while (!std::filesystem::create_directory(path));
        path_ = path.string();
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

template <typename Bytes>
void WriteFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<std::uint8_t> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace zorbik::testing
