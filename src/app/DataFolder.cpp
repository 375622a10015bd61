// The installed data folder, from the executable's path as the kernel
// reports it (/proc/self/exe: symbolic links to the program are already
// resolved) and the install layout's relative path from bin/ to the data
// (cmake/Install.cmake).
#include "app/DataFolder.h"

#include <filesystem>
#include <system_error>

// ORBIVISTA_DATA_DIR_FROM_BINDIR comes from the build (cmake/Install.cmake).

namespace app {

std::string installedDataFolder() {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || executable.empty()) return {};
    return (executable.parent_path() / ORBIVISTA_DATA_DIR_FROM_BINDIR).lexically_normal().string();
}

} // namespace app
