// Every picture of the media corpus through our decoders, compared with the
// reference pictures that come with it. Broken files must be refused
// cleanly; the figures are printed per folder.
#include "media/images/decoders.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using media::images::DecodeResult;
using media::images::Picture;

namespace {

std::vector<uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

DecodeResult Decode(const fs::path& path, Picture& picture) {
    const std::vector<uint8_t> bytes = ReadBytes(path);
    media::images::MemorySource source(bytes.data(), bytes.size());
    return media::images::DecodePicture(source, picture);
}

// The largest channel difference, or -1 when the sizes differ. Colours of
// fully transparent pixels do not count. `where` tells of the worst pixel.
int Difference(const Picture& a, const Picture& b, std::string* where = nullptr) {
    if (a.width != b.width || a.height != b.height) return -1;
    int worst = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) {
        const uint32_t p = a.pixels[i], q = b.pixels[i];
        if ((p >> 24) == 0 && (q >> 24) == 0) continue;
        for (int shift = 0; shift < 32; shift += 8) {
            const int d = std::abs(static_cast<int>((p >> shift) & 255) - static_cast<int>((q >> shift) & 255));
            if (d > worst && where) {
                char text[96];
                std::snprintf(text, sizeof text, " at (%d, %d): %08x, reference %08x", static_cast<int>(i % a.width),
                              static_cast<int>(i / a.width), p, q);
                *where = text;
            }
            worst = std::max(worst, d);
        }
    }
    return worst;
}

struct Tally {
    explicit Tally(std::string name) : folder(std::move(name)) {}
    std::string folder;
    int exact = 0, near = 0, decodedWithoutReference = 0, refused = 0;
    std::vector<std::string> refusedFiles, mismatches;

    void Print() const {
        std::printf("%-28s exact %3d  near %3d  decoded (no reference) %3d  refused %3d\n", folder.c_str(), exact,
                    near, decodedWithoutReference, refused);
        for (const auto& f : refusedFiles) std::printf("    refused: %s\n", f.c_str());
        for (const auto& f : mismatches) std::printf("    MISMATCH: %s\n", f.c_str());
    }
};

class Corpus : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = testing_support::corpusDirectory();
        if (root_.empty()) GTEST_SKIP() << "the media corpus is absent (LUMOTTA_CORPUS_DIR); skipped";
    }

    // Decodes `file`; compares with the first reference that decodes and
    // matches (within `tolerance` for a near match).
    void Check(Tally& tally, const fs::path& file, const std::vector<fs::path>& references, int tolerance,
               const std::set<std::string>& refusedOnPurpose = {}) {
        Picture picture;
        const std::string name = fs::relative(file, root_).string();
        const DecodeResult result = Decode(file, picture);
        if (result != DecodeResult::Decoded) {
            ++tally.refused;
            tally.refusedFiles.push_back(name);
            if (!references.empty() && !refusedOnPurpose.count(file.filename().string()))
                tally.mismatches.push_back(name + " (refused, yet it has a reference)");
            return;
        }
        EXPECT_EQ(picture.pixels.size(), static_cast<size_t>(picture.width) * picture.height) << name;
        if (references.empty()) {
            ++tally.decodedWithoutReference;
            return;
        }
        int best = -1;
        std::string where;
        for (const fs::path& ref : references) {
            Picture expected;
            if (!fs::exists(ref) || Decode(ref, expected) != DecodeResult::Decoded) continue;
            std::string at;
            const int d = Difference(picture, expected, &at);
            if (d >= 0 && (best < 0 || d < best)) {
                best = d;
                where = at;
            }
        }
        if (best == 0) {
            ++tally.exact;
        } else if (best > 0 && best <= tolerance) {
            ++tally.near;
        } else {
            tally.mismatches.push_back(name + " (difference " + std::to_string(best) + where + ")");
        }
    }

    void Finish(const Tally& tally) {
        tally.Print();
        EXPECT_TRUE(tally.mismatches.empty());
    }

    std::vector<fs::path> Files(const fs::path& dir, const std::string& extension, bool recursive = false) {
        std::vector<fs::path> out;
        if (!fs::is_directory(dir)) return out;
        if (recursive) {
            for (const auto& e : fs::recursive_directory_iterator(dir))
                if (e.is_regular_file() && e.path().extension() == extension) out.push_back(e.path());
        } else {
            for (const auto& e : fs::directory_iterator(dir))
                if (e.is_regular_file() && e.path().extension() == extension) out.push_back(e.path());
        }
        std::sort(out.begin(), out.end());
        return out;
    }

    fs::path root_;
};

// PngSuite's references are RGBA arrays in JSON, 16 bits for 16-bit files.
bool ReadJsonPixels(const fs::path& path, std::vector<uint32_t>& values) {
    std::ifstream in(path);
    if (!in) return false;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (char& c : text)
        if (c == '[' || c == ']' || c == ',') c = ' ';
    std::istringstream numbers(text);
    uint32_t v;
    while (numbers >> v) values.push_back(v);
    return true;
}

TEST_F(Corpus, PngSuiteMatchesItsReferenceData) {
    Tally tally{"pngsuite"};
    for (const fs::path& file : Files(root_ / "pngsuite" / "png", ".png")) {
        const std::string stem = file.stem().string();
        const std::string name = "pngsuite/png/" + file.filename().string();
        Picture picture;
        const DecodeResult result = Decode(file, picture);
        if (stem[0] == 'x') {   // the corrupt ones
            EXPECT_NE(result, DecodeResult::Decoded) << name;
            ++tally.refused;
            tally.refusedFiles.push_back(name + " (corrupt on purpose)");
            continue;
        }
        if (result != DecodeResult::Decoded) {
            tally.mismatches.push_back(name + " (refused)");
            continue;
        }
        std::vector<uint32_t> values;
        // The full-depth data, of which we keep the high bytes (the _to8
        // variants were scaled by another rule).
        const fs::path json = root_ / "pngsuite" / "json" / (stem + ".json");
        if (!ReadJsonPixels(json, values)) {
            ++tally.decodedWithoutReference;
            continue;
        }
        const bool sixteen = stem.substr(stem.size() - 2) == "16";   // the name ends in the bit depth
        if (values.size() != picture.pixels.size() * 4) {
            tally.mismatches.push_back(name + " (size)");
            continue;
        }
        int worst = 0;
        std::string where;
        for (size_t i = 0; i < picture.pixels.size(); ++i) {
            const uint32_t p = picture.pixels[i];
            const uint32_t got[4] = {(p >> 16) & 255, (p >> 8) & 255, p & 255, p >> 24};
            if (got[3] == 0 && values[4 * i + 3] == 0) continue;
            for (int c = 0; c < 4; ++c) {
                const uint32_t want = sixteen ? values[4 * i + c] >> 8 : values[4 * i + c];
                const int d = std::abs(static_cast<int>(got[c]) - static_cast<int>(want));
                if (d > worst) where = " at pixel " + std::to_string(i) + " channel " + std::to_string(c) + ": " +
                                       std::to_string(got[c]) + ", reference " + std::to_string(values[4 * i + c]);
                worst = std::max(worst, d);
            }
        }
        if (worst == 0) ++tally.exact;
        else tally.mismatches.push_back(name + " (difference " + std::to_string(worst) + where + ")");
    }
    Finish(tally);
}

// The BMP suite's page pairs each file with the picture it should show.
std::map<std::string, std::vector<std::string>> BmpSuiteReferences(const fs::path& html) {
    std::map<std::string, std::vector<std::string>> refs;
    std::ifstream in(html);
    std::string line, current;
    while (std::getline(in, line)) {
        const size_t bmp = line.find(".bmp</td>");
        if (bmp != std::string::npos) {
            const size_t start = line.rfind('>', bmp) + 1;
            current = line.substr(start, bmp + 4 - start);
            continue;
        }
        const size_t src = line.find("<img src=\"");
        if (src == std::string::npos || current.empty()) continue;
        const size_t begin = src + 10, end = line.find('"', begin);
        const std::string ref = line.substr(begin, end - begin);
        if (ref.rfind("../", 0) != 0 && ref.size() > 4 && ref.substr(ref.size() - 4) == ".png")
            refs[current].push_back(ref);
    }
    return refs;
}

TEST_F(Corpus, BmpSuite) {
    const fs::path dir = root_ / "bmpsuite";
    const auto refs = BmpSuiteReferences(dir / "reference" / "html" / "bmpsuite.html");
    Tally tally{"bmpsuite"};
    for (const char* sub : {"g", "q", "b", "x"}) {
        for (const fs::path& file : Files(dir / sub, ".bmp")) {
            std::vector<fs::path> references;
            const auto it = refs.find(std::string(sub) + "/" + file.filename().string());
            if (it != refs.end())
                for (const auto& r : it->second) references.push_back(dir / "reference" / "html" / r);
            if (std::string(sub) == "b") {
                // Bad files: refusing them is right; decoding leniently is too.
                Picture picture;
                if (Decode(file, picture) == DecodeResult::Decoded) {
                    ++tally.decodedWithoutReference;
                } else {
                    ++tally.refused;
                    tally.refusedFiles.push_back("bmpsuite/b/" + file.filename().string());
                }
                continue;
            }
            if (file.filename() == "rgb24prof2.bmp") {
                // Its embedded colour profile swaps red and green back;
                // colour profiles are not applied.
                Picture picture;
                EXPECT_EQ(Decode(file, picture), DecodeResult::Decoded);
                ++tally.decodedWithoutReference;
                continue;
            }
            // Channels of unusual widths (10, 11, 17 bits...) are scaled by
            // slightly different rules in the two reference sets: within 1.
            Check(tally, file, references, 1,
                  {"rgb24jpeg.bmp", "rgb24png.bmp", "pal1huffmsb.bmp", "rgba64.bmp", "ba-bm.bmp"});
        }
    }
    Finish(tally);
}

TEST_F(Corpus, BmpImageRsAndPillow) {
    const fs::path dir = root_ / "bmp-image-rs";
    Tally tally{"bmp-image-rs, bmp-pillow-misc"};
    // Pixels that cut run-length data never reaches may show as transparent
    // (one of the BMP suite's accepted renderings) or as black (image-rs's).
    const fs::path suite = root_ / "bmpsuite";
    const auto suiteRefs = BmpSuiteReferences(suite / "reference" / "html" / "bmpsuite.html");
    for (const fs::path& file : Files(dir / "images", ".bmp", true)) {
        const fs::path ref = dir / "reference" / "bmp" / "images" / (file.filename().string() + ".png");
        std::vector<fs::path> refs;
        if (fs::exists(ref)) refs.push_back(ref);
        const auto alt = suiteRefs.find("q/" + file.filename().string());
        if (alt != suiteRefs.end() && !refs.empty())
            for (const auto& r : alt->second) refs.push_back(suite / "reference" / "html" / r);
        Check(tally, file, refs, 1);
    }
    for (const fs::path& file : Files(dir / "bad", ".bmp", true)) Check(tally, file, {}, 0);
    for (const fs::path& file : Files(root_ / "bmp-pillow-misc", ".bmp")) Check(tally, file, {}, 0);
    Finish(tally);
}

TEST_F(Corpus, Tga) {
    Tally tally{"tga"};
    const fs::path suite = root_ / "tga-truevision-suite";
    for (const fs::path& file : Files(suite, ".tga", true)) {
        const fs::path ref = suite / "reference" / "testsuite" / (file.filename().string() + ".png");
        Check(tally, file, fs::exists(ref) ? std::vector<fs::path>{ref} : std::vector<fs::path>{}, 0);
    }
    const fs::path pillow = root_ / "tga-pillow";
    for (const fs::path& file : Files(pillow / "common", ".tga")) {
        // 200x32_rgba_bl_rle.tga shows 200x32_rgba.png.
        std::string stem = file.stem().string();
        stem = stem.substr(0, stem.rfind('_'));
        stem = stem.substr(0, stem.rfind('_'));
        Check(tally, file, {pillow / "common" / (stem + ".png")}, 0);
    }
    for (const fs::path& file : Files(pillow / "misc", ".tga")) Check(tally, file, {}, 0);
    Finish(tally);
}

TEST_F(Corpus, Dds) {
    Tally tally{"dds"};
    const fs::path dir = root_ / "dds-pillow";
    for (const fs::path& file : Files(dir, ".dds")) {
        const fs::path ref = dir / "reference" / (file.stem().string() + ".png");
        // Block formats interpolate colours; writers round a little differently.
        Check(tally, file, fs::exists(ref) ? std::vector<fs::path>{ref} : std::vector<fs::path>{}, 3,
              {"bc6h.dds", "bc6h_sf.dds", "bc7-argb-8bpp_MipMaps-1.dds", "DXGI_FORMAT_BC7_UNORM_SRGB.dds",
               "bc5s.dds"});
    }
    Finish(tally);
}

// A binary PPM (P6, 8 bits).
bool ReadPpm(const fs::path& path, Picture& picture) {
    const std::vector<uint8_t> bytes = ReadBytes(path);
    size_t pos = 0;
    auto token = [&]() {
        std::string t;
        while (pos < bytes.size()) {
            if (bytes[pos] == '#') {
                while (pos < bytes.size() && bytes[pos] != '\n') ++pos;
            } else if (std::isspace(bytes[pos])) {
                if (!t.empty()) break;
                ++pos;
            } else {
                t += static_cast<char>(bytes[pos++]);
            }
        }
        return t;
    };
    if (token() != "P6") return false;
    const int w = std::stoi(token()), h = std::stoi(token());
    if (token() != "255") return false;
    ++pos;
    if (bytes.size() < pos + static_cast<size_t>(w) * h * 3) return false;
    picture.width = w;
    picture.height = h;
    picture.pixels.resize(static_cast<size_t>(w) * h);
    for (auto& p : picture.pixels) {
        p = 0xFF000000u | bytes[pos] << 16 | bytes[pos + 1] << 8 | bytes[pos + 2];
        pos += 3;
    }
    return true;
}

TEST_F(Corpus, Jpeg) {
    Tally tally{"jpeg"};
    const fs::path turbo = root_ / "jpeg-libjpeg-turbo-testimages";
    for (const fs::path& file : Files(turbo, ".jpg")) {
        if (file.filename() != "testorig.jpg") {
            Check(tally, file, {}, 0);
            continue;
        }
        // The picture it was compressed from: lossy, but close.
        Picture picture, expected;
        ASSERT_EQ(Decode(file, picture), DecodeResult::Decoded);
        ASSERT_TRUE(ReadPpm(turbo / "testorig.ppm", expected));
        const int d = Difference(picture, expected);
        if (d == 0) ++tally.exact;
        else if (d > 0 && d <= 4) ++tally.near;
        else tally.mismatches.push_back("testorig.jpg (difference " + std::to_string(d) + ")");
    }
    for (const fs::path& file : Files(turbo, ".bmp")) Check(tally, file, {}, 0);
    for (const fs::path& file : Files(root_ / "jpeg-pillow", ".jpg")) Check(tally, file, {}, 0);
    Finish(tally);
}

}  // namespace
