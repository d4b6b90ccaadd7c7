// The game's file names on a POSIX file system. The game writes names with
// "\" between components and expects them to be found without regard to
// ASCII case, as on its home platform; here "\" becomes "/", and a component
// that does not exist under its exact name is looked for by an
// ASCII-case-insensitive match in its directory.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace media::files {

// A name made absolute, as components from the root ("." dropped, ".."
// applied, never above the root).
struct AbsoluteName {
    std::vector<std::string> parts;      // as written
    std::vector<std::string> upper;      // ASCII letters upper-cased
};

std::string CurrentDirectory();

// cwd is a POSIX path; name is the game's (Shift-JIS, "\" or "/").
AbsoluteName MakeAbsolute(std::string_view cwd, std::string_view name);

// "/A/B/C" for the first count upper-cased components.
std::string JoinUpper(const AbsoluteName& name, size_t count);

// The entry of dir called name: the exact name when it exists, otherwise the
// first (in byte order) whose name matches without regard to ASCII case.
// Returns the full path, or an empty string.
std::string FindInDirectory(const std::string& dir, const std::string& name);

// Like FindInDirectory for two names at once with a single scan of dir.
void FindTwoInDirectory(const std::string& dir, const std::string& first, const std::string& second,
                        std::string& firstPath, std::string& secondPath);

// The real path of a game name relative to the current directory (or the
// root when it starts with a separator), each component found as above.
// When a component cannot be found the path is returned with the name as
// written from there on, so that opening it fails as usual.
std::string ResolvePath(std::string_view name);

bool IsDirectory(const std::string& path);

}  // namespace media::files
