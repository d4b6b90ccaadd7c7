// The pack tool's compression against gzip -6 (zlib's deflate at level 6
// with the gzip wrapper), file by file, on a sample of folders.
#include "bench/archive/bench_folders.h"
#include "media/files/expander.h"
#include "tools/pack/compressor.h"

#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

size_t GzipSize(const std::vector<uint8_t>& data) {
    z_stream z{};
    deflateInit2(&z, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    std::vector<uint8_t> out(deflateBound(&z, data.size()) + 64);
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    const size_t size = z.total_out;
    deflateEnd(&z);
    return size;
}

struct Totals {
    size_t original = 0, ours = 0, gzip = 0;
    double oursSeconds = 0, gzipSeconds = 0, expandSeconds = 0;
};

void Print(const char* what, const Totals& t) {
    const double mb = static_cast<double>(t.original) / 1e6;
    std::printf("%-28s %10zu bytes  pack %10zu (%5.1f %%)  gzip -6 %10zu (%5.1f %%)  pack/gzip %.3f\n", what,
                t.original, t.ours, 100.0 * static_cast<double>(t.ours) / static_cast<double>(t.original), t.gzip,
                100.0 * static_cast<double>(t.gzip) / static_cast<double>(t.original),
                static_cast<double>(t.ours) / static_cast<double>(t.gzip));
    std::printf("%-28s compress: pack %.1f MB/s, gzip -6 %.1f MB/s; expand: %.0f MB/s\n", "", mb / t.oursSeconds,
                mb / t.gzipSeconds, mb / t.expandSeconds);
}

}  // namespace

int main(int argc, char** argv) {
    const auto folders = SampleFolders(argc, argv);
    if (folders.empty()) {
        std::fprintf(stderr, "no sample: name folders, or build the data set first\n");
        return 1;
    }
    Totals all;
    for (const std::string& folder : folders) {
        Totals t;
        for (const std::string& name : FilesBelow(folder)) {
            std::ifstream in(folder + "/" + name, std::ios::binary);
            const std::vector<uint8_t> data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            if (data.empty()) continue;
            auto start = Clock::now();
            const std::vector<uint8_t> packed = pack::Compress(data.data(), data.size());
            t.oursSeconds += Seconds(start);
            start = Clock::now();
            const size_t gz = GzipSize(data);
            t.gzipSeconds += Seconds(start);
            std::vector<uint8_t> back(data.size());
            std::string error;
            start = Clock::now();
            if (!media::archive::Expand(packed.data(), packed.size(), back.data(), back.size(), error) || back != data) {
                std::fprintf(stderr, "%s/%s: round trip failed: %s\n", folder.c_str(), name.c_str(), error.c_str());
                return 1;
            }
            t.expandSeconds += Seconds(start);
            // As an archive holds it: stored when compression does not help.
            t.original += data.size();
            t.ours += std::min(packed.size(), data.size());
            t.gzip += std::min(gz, data.size());
        }
        if (t.original == 0) continue;
        Print(folder.c_str(), t);
        all.original += t.original;
        all.ours += t.ours;
        all.gzip += t.gzip;
        all.oursSeconds += t.oursSeconds;
        all.gzipSeconds += t.gzipSeconds;
        all.expandSeconds += t.expandSeconds;
    }
    if (all.original) Print("all", all);
    return 0;
}
