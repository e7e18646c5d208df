#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

namespace vorenta {

// A fresh folder of the test's own under the system's temporary folder, open
// to its owner only, removed with everything in it when the test ends (also
// where the test took the permissions of something inside away). Below it, the
// two ways tests write and read the files they put there.
class TempFolder {
  public:
    explicit TempFolder(std::string_view prefix = "vorenta-test-") {
        std::random_device seed;
        std::mt19937_64 random(seed());
        const std::filesystem::path parent = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            const std::filesystem::path candidate =
                parent / (std::string(prefix) + std::to_string(random()));
            std::error_code error;
            if (std::filesystem::create_directory(candidate, error)) {
                path_ = candidate;
            }
        }
        if (path_.empty()) {
            throw std::runtime_error("cannot make a temporary folder in " + parent.string());
        }
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all);
    }
    ~TempFolder() {
        MakeRemovable(path_);
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& name) const {
        return path_ / name;
    }
    // The path with its trailing separator, the form the programs' folders take.
    std::string WithSeparator() const {
        return path_.string() + static_cast<char>(std::filesystem::path::preferred_separator);
    }

  private:
    // Gives the owner back every folder inside, never following a link.
    static void MakeRemovable(const std::filesystem::path& folder) {
        std::error_code error;
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, error);
        for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error)) {
            if (it->is_directory(error) && !it->is_symlink(error)) {
                MakeRemovable(it->path());
            }
        }
    }

    std::filesystem::path path_;
};

// Writes a file whole, making the folders above it.
inline void WriteFile(const std::filesystem::path& path, const std::string& contents) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << contents;
}

// A file's whole contents; empty when it cannot be read.
inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace vorenta
