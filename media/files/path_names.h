// The game's file names on a POSIX file system. The game writes names with
// "\" between components and expects them to be found without regard to
// ASCII case, as on its home platform; here "\" becomes "/", and a component
// that does not exist under its exact name is looked for by an
// ASCII-case-insensitive match in its directory.
#pragma once

#include <cstdint>
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

// While one lives, names are looked up as of its start: the directory
// changes reported so far are taken once, and the current directory is read
// once. Every entry point of the file layer that looks names up opens one;
// they nest, so that a run of opens (a picture and its alpha companion) can
// share one (media::files::LookupBatch). Only under the API lock.
class LookupScope {
public:
    LookupScope();
    ~LookupScope();
    // The current directory was changed within the scope.
    static void DirectoryChanged();
    LookupScope(const LookupScope&) = delete;
    LookupScope& operator=(const LookupScope&) = delete;
    const std::string& directory() const;   // the current directory
    // True when everything looked up so far came from watched listings:
    // what it found holds until generation() changes.
    bool learntFromWatchedListings() const;
    uint64_t generation() const;

private:
    bool outerWatched_;
};

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
// written from there on, so that opening it fails as usual; absent is then
// set when a directory known to be unchanged says so (no need to try).
std::string ResolvePath(std::string_view name, bool* absent = nullptr);

bool IsDirectory(const std::string& path);

}  // namespace media::files
