#include "media/files/path_names.h"

#include "media/files/sjis_names.h"

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>
#include <ctime>
#include <unistd.h>
#include <unordered_map>

namespace media::files {
namespace {

using archive::SplitName;
using archive::UpperName;

bool Exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

std::string Child(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    if (dir.back() == '/') return dir + name;
    return dir + "/" + name;
}

// The game's "X:" drive prefix means nothing here: this machine has one
// root, so "X:\A" is "\A" and "X:A" is "A".
std::string_view WithoutDrive(std::string_view name) {
    if (name.size() >= 2 && name[1] == ':' &&
        ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z')))
        return name.substr(2);
    return name;
}

bool StartsAtRoot(std::string_view name) { return !name.empty() && (name[0] == '\\' || name[0] == '/'); }

}  // namespace

std::string CurrentDirectory() {
    std::string buffer(4096, '\0');
    for (;;) {
        if (::getcwd(buffer.data(), buffer.size())) {
            buffer.resize(std::char_traits<char>::length(buffer.c_str()));
            return buffer;
        }
        if (errno != ERANGE || buffer.size() > (1u << 20)) return "/";
        buffer.resize(buffer.size() * 2);
    }
}

AbsoluteName MakeAbsolute(std::string_view cwd, std::string_view name) {
    AbsoluteName out;
    auto add = [&out](std::string part) {
        if (part == ".") return;
        if (part == "..") {
            if (!out.parts.empty()) {
                out.parts.pop_back();
                out.upper.pop_back();
            }
            return;
        }
        out.upper.push_back(UpperName(part));
        out.parts.push_back(std::move(part));
    };
    name = WithoutDrive(name);
    if (!StartsAtRoot(name)) {
        // The current directory is a POSIX path: "/" only, no double-byte rules.
        size_t start = 0;
        while (start < cwd.size()) {
            size_t end = cwd.find('/', start);
            if (end == std::string_view::npos) end = cwd.size();
            if (end > start) add(std::string(cwd.substr(start, end - start)));
            start = end + 1;
        }
    }
    for (std::string& part : SplitName(name)) add(std::move(part));
    return out;
}

std::string JoinUpper(const AbsoluteName& name, size_t count) {
    std::string out;
    for (size_t i = 0; i < count && i < name.upper.size(); ++i) out += "/" + name.upper[i];
    return out.empty() ? "/" : out;
}

namespace {

// A directory's names, kept while the directory is unchanged, so that
// finding names without regard to case does not read every directory on
// the way for every file opened.
struct Listing {
    dev_t device = 0;
    ino_t inode = 0;
    timespec modified{};
    std::unordered_map<std::string, std::string> byUpper;   // the first name in byte order
};

std::unordered_map<std::string, Listing> gListings;
constexpr size_t kMaxListings = 256;

bool ReadListing(const std::string& dir, Listing& listing) {
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return false;
    while (const dirent* e = ::readdir(d)) {
        std::string entry = e->d_name;
        if (entry == "." || entry == "..") continue;
        std::string upper = UpperName(entry);
        const auto [it, fresh] = listing.byUpper.emplace(std::move(upper), entry);
        if (!fresh && entry < it->second) it->second = entry;
    }
    ::closedir(d);
    return true;
}

// The listing of dir, from the cache when the directory has not changed.
// A directory changed in the last two seconds is read afresh every time:
// its time stamp may not yet show a change made in the same tick.
const Listing* GetListing(const std::string& dir, Listing& scratch) {
    struct stat st;
    const std::string key = dir.empty() ? "." : dir;
    if (::stat(key.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return nullptr;
    const auto it = gListings.find(key);
    if (it != gListings.end() && it->second.device == st.st_dev && it->second.inode == st.st_ino &&
        it->second.modified.tv_sec == st.st_mtim.tv_sec && it->second.modified.tv_nsec == st.st_mtim.tv_nsec)
        return &it->second;
    scratch = Listing{};
    scratch.device = st.st_dev;
    scratch.inode = st.st_ino;
    scratch.modified = st.st_mtim;
    if (!ReadListing(key, scratch)) return nullptr;
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    // Only absolute paths are kept: a relative one changes meaning with the
    // current directory.
    if (key[0] == '/' && now.tv_sec - st.st_mtim.tv_sec >= 2) {
        if (gListings.size() >= kMaxListings) gListings.clear();
        return &(gListings[key] = std::move(scratch));
    }
    return &scratch;
}

}  // namespace

void FindTwoInDirectory(const std::string& dir, const std::string& first, const std::string& second,
                        std::string& firstPath, std::string& secondPath) {
    firstPath.clear();
    secondPath.clear();
    const std::string* names[2] = {&first, &second};
    std::string* paths[2] = {&firstPath, &secondPath};
    bool missing = false;
    for (int i = 0; i < 2; ++i) {
        if (names[i]->empty()) continue;
        if (Exists(Child(dir, *names[i]))) *paths[i] = Child(dir, *names[i]);
        else missing = true;
    }
    if (!missing) return;
    Listing scratch;
    const Listing* listing = GetListing(dir, scratch);
    if (!listing) return;
    for (int i = 0; i < 2; ++i) {
        if (names[i]->empty() || !paths[i]->empty()) continue;
        const auto found = listing->byUpper.find(UpperName(*names[i]));
        if (found != listing->byUpper.end()) *paths[i] = Child(dir, found->second);
    }
}

std::string FindInDirectory(const std::string& dir, const std::string& name) {
    std::string found, unused;
    FindTwoInDirectory(dir, name, std::string(), found, unused);
    return found;
}

std::string ResolvePath(std::string_view name) {
    name = WithoutDrive(name);
    std::string path = StartsAtRoot(name) ? "/" : "";
    bool lost = false;
    for (const std::string& part : SplitName(name)) {
        if (lost || part == "." || part == "..") {
            path = Child(path, part);
            continue;
        }
        const std::string found = FindInDirectory(path, part);
        if (found.empty()) {
            lost = true;
            path = Child(path, part);
        } else {
            path = found;
        }
    }
    return path.empty() ? "." : path;
}

bool IsDirectory(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace media::files
