// pack: makes, lists, checks and unpacks the game's pack archives.
#include "media/files/archive_index.h"
#include "media/files/disk_file.h"
#include "media/files/sjis_names.h"
#include "tools/pack/archive_writer.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

namespace arc = media::archive;
using media::files::DiskFile;

constexpr const char* kUsage =
    "usage:\n"
    "  pack FOLDER [-o ARCHIVE] [--store | --compress]\n"
    "      make ARCHIVE (default: FOLDER.lmt) from the folder's files and folders;\n"
    "      --compress (the default) compresses every file that shrinks by at\n"
    "      least a sixteenth,\n"
    "      --store keeps every file as it is\n"
    "  pack list ARCHIVE\n"
    "      show every entry: size, size in the archive, method, name\n"
    "  pack extract ARCHIVE [-C FOLDER]\n"
    "      unpack into FOLDER (default: the archive's name without its extension)\n"
    "  pack verify ARCHIVE [FOLDER]\n"
    "      read every entry back; compare with the files in FOLDER (default: the\n"
    "      archive's name without its extension, when that folder exists)\n"
    "A folder called list, extract or verify is packed as ./list and so on.\n";

int Usage(const char* problem = nullptr) {
    if (problem) std::fprintf(stderr, "pack: %s\n", problem);
    std::fputs(kUsage, stderr);
    return 2;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "pack: %s\n", message.c_str());
    return 1;
}

std::string WithoutExtension(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash) || dot == 0) return path + ".out";
    return path.substr(0, dot);
}

std::string TrimSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

struct LoadedArchive {
    std::unique_ptr<DiskFile> file;
    arc::ArchiveIndex index;
};

bool LoadArchive(const std::string& path, LoadedArchive& a, std::string& error) {
    a.file = DiskFile::Open(path);
    if (!a.file) {
        error = "cannot open " + path + (errno ? std::string(": ") + std::strerror(errno) : "");
        return false;
    }
    std::string why;
    switch (a.index.load(*a.file, why)) {
    case arc::LoadResult::Ok:
        return true;
    case arc::LoadResult::NotArchive:
        error = path + " is not a pack archive (" + why + ")";
        return false;
    case arc::LoadResult::Broken:
        error = path + " is damaged: " + why;
        return false;
    }
    return false;
}

// Every node's path inside the archive, "/" between components, in table order.
std::vector<std::string> NodePaths(const arc::ArchiveIndex& index) {
    std::vector<std::string> paths(index.nodes().size());
    for (size_t i = 0; i < index.nodes().size(); ++i) {
        const arc::Node& n = index.nodes()[i];
        const arc::Directory& parent = index.directories()[static_cast<size_t>(n.parent)];
        paths[i] = (parent.node < 0 ? std::string() : paths[static_cast<size_t>(parent.node)] + "/") + std::string(n.name);
    }
    return paths;
}

// A name from an archive that is safe to create on disk: one component.
bool SafeName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    if (name.find('/') != std::string_view::npos) return false;
    const auto parts = arc::SplitName(name);
    return parts.size() == 1 && parts[0] == name;
}

int MakeArchive(const std::vector<std::string>& args) {
    std::string folder, out;
    bool compress = true;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o") {
            if (++i == args.size()) return Usage("-o needs an archive name");
            out = args[i];
        } else if (args[i] == "--store") {
            compress = false;
        } else if (args[i] == "--compress") {
            compress = true;
        } else if (!args[i].empty() && args[i][0] == '-') {
            return Usage(("unknown option " + args[i]).c_str());
        } else if (folder.empty()) {
            folder = TrimSlashes(args[i]);
        } else {
            return Usage("only one folder can be packed at a time");
        }
    }
    if (folder.empty()) return Usage("no folder to pack");
    struct stat st;
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return Fail(folder + " is not a folder");
    if (out.empty()) out = folder + ".lmt";

    const auto start = std::chrono::steady_clock::now();
    pack::PackItem root;
    std::vector<std::string> warnings;
    std::string error;
    const bool scanned = pack::ScanFolder(folder, root, warnings, error);
    for (const std::string& w : warnings) std::fprintf(stderr, "pack: warning: %s\n", w.c_str());
    if (!scanned) return Fail(error);
    pack::PackOptions options;
    options.compress = compress;
    pack::PackStats stats;
    if (!pack::WriteArchiveFile(root, options, out, error, &stats)) return Fail(error);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s: %llu files, %llu folders, %llu bytes -> %llu bytes (%.1f %%), %llu compressed, %.2f s\n",
                out.c_str(), static_cast<unsigned long long>(stats.files),
                static_cast<unsigned long long>(stats.directories),
                static_cast<unsigned long long>(stats.originalBytes), static_cast<unsigned long long>(stats.storedBytes),
                stats.originalBytes ? 100.0 * static_cast<double>(stats.storedBytes) / static_cast<double>(stats.originalBytes) : 100.0,
                static_cast<unsigned long long>(stats.compressedEntries), seconds);
    return 0;
}

int List(const std::vector<std::string>& args) {
    if (args.size() != 1) return Usage("list takes one archive");
    LoadedArchive a;
    std::string error;
    if (!LoadArchive(args[0], a, error)) return Fail(error);
    const auto paths = NodePaths(a.index);
    std::printf("version %u%s\n", a.index.header().version, a.index.usedSecondKey() ? " (second key)" : "");
    std::printf("%12s %12s  %-10s  name\n", "size", "in archive", "method");
    for (size_t i = 0; i < paths.size(); ++i) {
        const arc::FileEntry& e = a.index.nodes()[i].entry;
        if (e.isDirectory())
            std::printf("%12s %12s  %-10s  %s/\n", "", "", "folder", paths[i].c_str());
        else
            std::printf("%12u %12u  %-10s  %s\n", e.size, e.isCompressed() ? e.compressedSize : e.size,
                        e.isCompressed() ? "compressed" : "stored", paths[i].c_str());
    }
    return 0;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& data, uint64_t writeTime, std::string& error) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t w = ::write(fd, data.data() + done, data.size() - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) break;
        done += static_cast<size_t>(w);
    }
    if (writeTime) {
        struct timespec times[2];
        int64_t s, ns;
        pack::FromFileTime(writeTime, s, ns);
        times[0].tv_sec = times[1].tv_sec = static_cast<time_t>(s);
        times[0].tv_nsec = times[1].tv_nsec = static_cast<long>(ns);
        ::futimens(fd, times);
    }
    if (::close(fd) != 0 || done != data.size()) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool MakeFolder(const std::string& path, std::string& error) {
    if (::mkdir(path.c_str(), 0777) == 0) return true;
    struct stat st;
    if (errno == EEXIST && ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return true;
    error = "cannot make folder " + path + ": " + std::strerror(errno);
    return false;
}

int Extract(const std::vector<std::string>& args) {
    std::string archivePath, target;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-C") {
            if (++i == args.size()) return Usage("-C needs a folder");
            target = TrimSlashes(args[i]);
        } else if (!args[i].empty() && args[i][0] == '-') {
            return Usage(("unknown option " + args[i]).c_str());
        } else if (archivePath.empty()) {
            archivePath = args[i];
        } else {
            return Usage("extract takes one archive");
        }
    }
    if (archivePath.empty()) return Usage("no archive to extract");
    if (target.empty()) target = WithoutExtension(archivePath);
    LoadedArchive a;
    std::string error;
    if (!LoadArchive(archivePath, a, error)) return Fail(error);
    const auto& nodes = a.index.nodes();
    for (const arc::Node& n : nodes) {
        if (!SafeName(n.name))
            return Fail(archivePath + " holds the name \"" + std::string(n.name) + "\", which cannot be unpacked safely");
    }
    if (!MakeFolder(target, error)) return Fail(error);
    const auto paths = NodePaths(a.index);
    int failures = 0;
    std::vector<uint8_t> data;
    // Folders come before their contents in the table.
    for (size_t i = 0; i < nodes.size(); ++i) {
        const std::string path = target + "/" + paths[i];
        if (nodes[i].entry.isDirectory()) {
            if (!MakeFolder(path, error)) return Fail(error);
            continue;
        }
        if (!a.index.readWhole(nodes[i], data, error) || !WriteFile(path, data, nodes[i].entry.writeTime, error)) {
            std::fprintf(stderr, "pack: %s: %s\n", paths[i].c_str(), error.c_str());
            ++failures;
        }
    }
    if (failures) return Fail(std::to_string(failures) + " entries could not be unpacked");
    std::printf("%s: %zu entries unpacked into %s\n", archivePath.c_str(), nodes.size(), target.c_str());
    return 0;
}

bool ReadOriginal(const std::string& path, std::vector<uint8_t>& out) {
    auto file = DiskFile::Open(path);
    if (!file || file->size() > (uint64_t{1} << 32)) return false;
    out.resize(static_cast<size_t>(file->size()));
    return file->readAt(0, out.data(), out.size());
}

void CollectFiles(const std::string& folder, const std::string& prefix, std::set<std::string>& out, int depth) {
    if (depth > 256) return;
    pack::PackItem root;
    std::vector<std::string> warnings;
    std::string error;
    if (!pack::ScanFolder(folder, root, warnings, error)) return;
    std::vector<std::pair<const pack::PackItem*, std::string>> stack = {{&root, prefix}};
    while (!stack.empty()) {
        auto [item, path] = stack.back();
        stack.pop_back();
        for (const pack::PackItem& c : item->children) {
            const std::string p = path.empty() ? c.name : path + "/" + c.name;
            if (c.directory) stack.push_back({&c, p});
            else out.insert(p);
        }
    }
}

int Verify(const std::vector<std::string>& args) {
    if (args.empty() || args.size() > 2) return Usage("verify takes an archive and, if wanted, a folder");
    const std::string archivePath = args[0];
    std::string originals = args.size() == 2 ? TrimSlashes(args[1]) : WithoutExtension(archivePath);
    struct stat st;
    const bool compare = ::stat(originals.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    if (args.size() == 2 && !compare) return Fail(originals + " is not a folder");

    LoadedArchive a;
    std::string error;
    if (!LoadArchive(archivePath, a, error)) return Fail(error);
    const auto& nodes = a.index.nodes();
    const auto paths = NodePaths(a.index);
    int problems = 0;
    auto problem = [&problems](const std::string& path, const std::string& what) {
        std::fprintf(stderr, "pack: %s: %s\n", path.c_str(), what.c_str());
        ++problems;
    };
    std::set<std::string> inArchive;
    std::vector<uint8_t> data, original;
    for (size_t i = 0; i < nodes.size(); ++i) {
        const arc::Node& n = nodes[i];
        arc::NameKey key;
        if (!arc::MakeNameKey(n.name, key) || key.units != n.units || key.checkSum != n.checkSum || key.upper != n.upper)
            problem(paths[i], "its name table entry does not match the name");
        if (!SafeName(n.name)) problem(paths[i], "the name is not a single plain component");
        if (n.entry.isDirectory()) continue;
        inArchive.insert(paths[i]);
        if (!a.index.readWhole(n, data, error)) {
            problem(paths[i], error);
            continue;
        }
        if (compare) {
            if (!ReadOriginal(originals + "/" + paths[i], original)) problem(paths[i], "no original to compare with");
            else if (original != data) problem(paths[i], "differs from the original");
        }
    }
    // Names the game could not tell apart.
    for (const arc::Directory& d : a.index.directories()) {
        std::set<std::pair<bool, std::string>> seen;
        for (int c : d.children) {
            const arc::Node& n = nodes[static_cast<size_t>(c)];
            if (!seen.insert({n.entry.isDirectory(), std::string(n.upper)}).second)
                problem(paths[static_cast<size_t>(c)], "another entry has the same name; only one can be reached");
        }
    }
    if (compare) {
        std::set<std::string> onDisk;
        CollectFiles(originals, "", onDisk, 0);
        for (const std::string& p : onDisk)
            if (!inArchive.count(p)) {
                problem(p, "in " + originals + " but not in the archive");
            }
    }
    if (problems) return Fail(archivePath + ": " + std::to_string(problems) + " problems");
    std::printf("%s: %zu files checked%s\n", archivePath.c_str(), inArchive.size(),
                compare ? (", identical to " + originals).c_str() : " (no originals to compare with)");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return Usage();
    if (args[0] == "-h" || args[0] == "--help" || args[0] == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const std::string command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "list") return List(rest);
    if (command == "extract") return Extract(rest);
    if (command == "verify") return Verify(rest);
    return MakeArchive(args);
}
