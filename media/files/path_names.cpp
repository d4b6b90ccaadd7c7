#include "media/files/path_names.h"

#include "media/files/sjis_names.h"

#include <cerrno>
#include <dirent.h>
#include <pthread.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <ctime>
#include <unistd.h>
#include <unordered_map>
#include <vector>

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
// finding names without regard to case (and the archive looked for beside
// every folder on the way) does not read or look at every directory on the
// way for every file opened. The kernel tells of changes to a watched
// directory (inotify): a watched listing is trusted without looking at the
// disk until a change to the directory, or to the entry it has in its
// parent, is reported. Without notifications (or in a forked child, which
// shares them with its parent), a listing is checked against the
// directory's time stamp at every use instead.
struct Listing {
    dev_t device = 0;
    ino_t inode = 0;
    timespec modified{};
    std::unordered_map<std::string, std::string> byUpper;   // the first name in byte order
    std::unordered_map<std::string, unsigned char> types;   // every name, with its dirent type
    int watch = -1;                                          // its notifications, when watched
};

std::unordered_map<std::string, Listing> gListings;   // by absolute path
constexpr size_t kMaxListings = 256;

constexpr uint32_t kWatchedChanges = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF |
                                     IN_MOVE_SELF | IN_UNMOUNT | IN_ONLYDIR;

struct Notifications {
    int fd = -1;
    bool failed = false;
    bool forked = false;   // this is a child of the process that made fd
};
Notifications gNotify;

// The notifications belong to the process that asked for them: a forked
// child (a death test) leaves them to its parent and looks at the disk.
void NoteFork() { gNotify.forked = true; }

bool NotificationsUsable() {
    if (gNotify.forked) return false;
    if (gNotify.fd >= 0) return true;
    if (gNotify.failed) return false;
    static const bool registered = ::pthread_atfork(nullptr, nullptr, NoteFork) == 0;
    gNotify.fd = registered ? ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC) : -1;
    gNotify.failed = gNotify.fd < 0;
    return gNotify.fd >= 0;
}

// The current directory for the lookup under way (LookupScope), read once.
int gLookupDepth = 0;      // LookupScopes alive (they nest)
bool gInLookup = false;
std::string gLookupDirectory;
// Whether the lookup under way learnt everything from watched listings.
bool gLookupWatched = false;
// Counts the changes reported: what was learnt from watched listings holds
// while it stays the same.
uint64_t gGeneration = 0;

// Resolved names (by current directory and name), learnt from watched
// listings only.
struct Resolved {
    std::string path;
    bool absent = false;
};
std::unordered_map<std::string, Resolved> gResolved;
uint64_t gResolvedGeneration = 0;
constexpr size_t kMostResolved = 8192;

// Forgets the listing at key and every listing below it.
void ForgetFrom(const std::string& key) {
    for (auto it = gListings.begin(); it != gListings.end();) {
        const std::string& k = it->first;
        const bool below = k.size() > key.size() && k.compare(0, key.size(), key) == 0 &&
                           (key.back() == '/' || k[key.size()] == '/');
        it = k == key || below ? gListings.erase(it) : std::next(it);
    }
}

void ForgetEverything() {
    ++gGeneration;
    gListings.clear();
    if (gNotify.fd >= 0 && !gNotify.forked) ::close(gNotify.fd);
    gNotify.fd = -1;
}

// Acts on the changes reported since the last call.
void TakeNotifications() {
    if (gNotify.fd < 0 || gNotify.forked) return;
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(gNotify.fd, buffer, sizeof buffer);
        if (got <= 0) return;
        ++gGeneration;
        for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW) {
                ForgetEverything();
                return;
            }
            std::vector<std::string> changed;
            for (const auto& [key, listing] : gListings)
                if (listing.watch == event->wd) changed.push_back(key);
            for (const std::string& key : changed) {
                if (event->len == 0) {
                    ForgetFrom(key);   // the directory itself went or moved
                    continue;
                }
                // An entry came or went: this listing, and whatever was
                // listed below that entry.
                gListings.erase(key);
                ForgetFrom(Child(key, event->name));
            }
        }
    }
}

std::string ListingKey(const std::string& path) {
    if (path[0] == '/') return path;
    const std::string cwd = gInLookup ? gLookupDirectory : CurrentDirectory();
    return path == "." ? cwd : Child(cwd, path);
}

bool ReadListing(const std::string& dir, Listing& listing) {
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return false;
    while (const dirent* e = ::readdir(d)) {
        std::string entry = e->d_name;
        if (entry == "." || entry == "..") continue;
        listing.types.emplace(entry, e->d_type);
        std::string upper = UpperName(entry);
        const auto [it, fresh] = listing.byUpper.emplace(std::move(upper), entry);
        if (!fresh && entry < it->second) it->second = entry;
    }
    ::closedir(d);
    return true;
}

// The watched listing of dir, when there is one: nothing on disk is looked
// at. Changes are taken at the start of each lookup (LookupScope).
const Listing* WatchedListing(const std::string& dir) {
    if (gListings.empty() || gNotify.forked) return nullptr;
    if (!gInLookup) TakeNotifications();
    const auto it = gListings.find(ListingKey(dir.empty() ? "." : dir));
    return it != gListings.end() && it->second.watch >= 0 ? &it->second : nullptr;
}

// The listing of dir, from the cache when the directory has not changed.
// Unwatched, a directory changed in the last two seconds is read afresh
// every time: its time stamp may not yet show a change made in the same
// tick.
const Listing* GetListing(const std::string& dir, Listing& scratch) {
    if (const Listing* watched = WatchedListing(dir)) return watched;
    gLookupWatched = false;
    struct stat st;
    const std::string path = dir.empty() ? "." : dir;
    if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return nullptr;
    // Kept by absolute path: a relative one changes meaning with the current
    // directory.
    const std::string key = ListingKey(path);
    const auto it = gListings.find(key);
    if (it != gListings.end() && it->second.device == st.st_dev && it->second.inode == st.st_ino &&
        it->second.modified.tv_sec == st.st_mtim.tv_sec && it->second.modified.tv_nsec == st.st_mtim.tv_nsec)
        return &it->second;
    scratch = Listing{};
    scratch.device = st.st_dev;
    scratch.inode = st.st_ino;
    scratch.modified = st.st_mtim;
    // Watched before it is read: a change made meanwhile is reported.
    if (NotificationsUsable()) scratch.watch = ::inotify_add_watch(gNotify.fd, key.c_str(), kWatchedChanges);
    if (!ReadListing(path, scratch)) return nullptr;
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    if (scratch.watch >= 0) {
        // Trusted from now on, though not for this lookup: it was read now.
        if (gListings.size() >= kMaxListings) ForgetEverything();
        return &(gListings[key] = std::move(scratch));
    }
    if (now.tv_sec - st.st_mtim.tv_sec >= 2) {
        if (gListings.size() >= kMaxListings) ForgetEverything();
        return &(gListings[key] = std::move(scratch));
    }
    return &scratch;
}

}  // namespace

LookupScope::LookupScope() : outerWatched_(gLookupWatched) {
    if (gLookupDepth++ == 0) {
        TakeNotifications();
        gLookupDirectory = CurrentDirectory();
        gInLookup = true;
        outerWatched_ = true;
    }
    gLookupWatched = true;
}

bool LookupScope::learntFromWatchedListings() const { return gLookupWatched && !gNotify.forked; }

uint64_t LookupScope::generation() const { return gGeneration; }

LookupScope::~LookupScope() {
    gLookupWatched = gLookupWatched && outerWatched_;
    if (--gLookupDepth == 0) gInLookup = false;
}

void LookupScope::DirectoryChanged() {
    if (gInLookup) gLookupDirectory = CurrentDirectory();
}

const std::string& LookupScope::directory() const { return gLookupDirectory; }

void FindTwoInDirectory(const std::string& dir, const std::string& first, const std::string& second,
                        std::string& firstPath, std::string& secondPath) {
    firstPath.clear();
    secondPath.clear();
    const std::string* names[2] = {&first, &second};
    std::string* paths[2] = {&firstPath, &secondPath};
    const Listing* watched = WatchedListing(dir);
    bool missing = false;
    for (int i = 0; i < 2; ++i) {
        if (names[i]->empty()) continue;
        if (!watched) gLookupWatched = false;
        const bool exists = watched ? watched->types.count(*names[i]) != 0 : Exists(Child(dir, *names[i]));
        if (exists) *paths[i] = Child(dir, *names[i]);
        else missing = true;
    }
    if (!missing) return;
    Listing scratch;
    const Listing* listing = watched ? watched : GetListing(dir, scratch);
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

namespace {

std::string ResolveAfresh(std::string_view name, bool& absent) {
    std::string path = StartsAtRoot(name) ? "/" : "";
    bool lost = false;
    absent = false;
    for (const std::string& part : SplitName(name)) {
        if (lost || part == "." || part == "..") {
            path = Child(path, part);
            continue;
        }
        const std::string found = FindInDirectory(path, part);
        if (found.empty()) {
            lost = true;
            // A watched listing is sure of it: opening would only fail.
            if (WatchedListing(path)) absent = true;
            path = Child(path, part);
        } else {
            path = found;
        }
    }
    return path.empty() ? "." : path;
}

}  // namespace

std::string ResolvePath(std::string_view name, bool* absent) {
    name = WithoutDrive(name);
    bool missing = false;
    if (!gInLookup || gNotify.forked) {
        std::string path = ResolveAfresh(name, missing);
        if (absent) *absent = missing;
        return path;
    }
    // Within a lookup, names resolved from watched listings are kept until
    // a change is reported.
    if (gResolvedGeneration != gGeneration || gResolved.size() >= kMostResolved) {
        gResolved.clear();
        gResolvedGeneration = gGeneration;
    }
    std::string key = StartsAtRoot(name) ? std::string() : gLookupDirectory;
    key += '\0';
    key.append(name);
    if (const auto it = gResolved.find(key); it != gResolved.end()) {
        if (absent) *absent = it->second.absent;
        return it->second.path;
    }
    const bool watchedBefore = gLookupWatched;
    gLookupWatched = true;
    std::string path = ResolveAfresh(name, missing);
    if (gLookupWatched && gGeneration == gResolvedGeneration) gResolved[std::move(key)] = Resolved{path, missing};
    gLookupWatched = gLookupWatched && watchedBefore;
    if (absent) *absent = missing;
    return path;
}

bool IsDirectory(const std::string& path) {
    // A watched parent's listing knows, unless the entry is a link.
    const size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash + 1 < path.size()) {
        if (const Listing* parent = WatchedListing(slash == 0 ? "/" : path.substr(0, slash))) {
            const auto entry = parent->types.find(path.substr(slash + 1));
            if (entry == parent->types.end()) return false;
            if (entry->second == DT_DIR) return true;
            if (entry->second != DT_LNK && entry->second != DT_UNKNOWN) return false;
        }
    }
    gLookupWatched = false;
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace media::files
