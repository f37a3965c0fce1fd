#pragma once
// Component registrations ("regsvr32 ... library") made safe to start: the
// library is named by its full path, so no library search can reach a folder
// someone else could write to.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace orvane {

// Stands for the system's common program files folder in a library path.
inline constexpr std::string_view kCommonFilesToken = "<CommonFiles>";

struct SystemFolders {
  std::string system;       // holds libraries named without a folder
  std::string commonFiles;  // replaces kCommonFilesToken
  std::string system32Bit;  // 64-bit Windows: the 32-bit programs' system folder; else empty
};

// The line to start in place of `line`. Lines that do not start regsvr32
// come back unchanged. A registration's library becomes a quoted full path;
// nullopt when that library is not there, so there is nothing to register.
std::optional<std::string> ResolveRegistration(
    std::string_view line, const SystemFolders& folders,
    const std::function<bool(const std::string&)>& fileExists);

// On 64-bit Windows a library of the system folder that the 32-bit system
// folder holds too is registered there as well, by that folder's regsvr32:
// the line to start for it, or nullopt when there is none.
std::optional<std::string> Resolve32BitRegistration(
    std::string_view line, const SystemFolders& folders,
    const std::function<bool(const std::string&)>& fileExists);

// The file name of the library a regsvr32 line registers ("Urlmon.dll"),
// empty for any other line.
std::string RegisteredLibrary(std::string_view line);
// Whether a path as a class key's InprocServer32 holds it (quoted or not,
// with a folder or without) names that library file.
bool NamesLibrary(std::string_view path, std::string_view library);

}  // namespace orvane
