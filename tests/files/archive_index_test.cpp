// Reading archives: the layout, the name rules and hand-made broken archives.
#include "media/files/archive_index.h"
#include "media/files/expander.h"
#include "media/files/scramble_key.h"
#include "media/files/sjis_names.h"
#include "tests/files/archive_test_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace arc = media::archive;
using namespace files_test;

namespace {

struct Loaded {
    std::vector<uint8_t> bytes;
    arc::MemorySource source{nullptr, 0};
    arc::ArchiveIndex index;
    arc::LoadResult result = arc::LoadResult::NotArchive;
    std::string error;

    explicit Loaded(std::vector<uint8_t> b) : bytes(std::move(b)), source(bytes.data(), bytes.size()) {
        result = index.load(source, error);
    }

    // The file's contents, or "<missing>" / "<error: ...>".
    std::string read(const std::string& name) {
        std::string why;
        const int node = index.find(arc::SplitName(name), why);
        if (node < 0) return why.empty() ? "<missing>" : "<error: " + why + ">";
        std::vector<uint8_t> data;
        if (!index.readWhole(index.nodes()[static_cast<size_t>(node)], data, why)) return "<error: " + why + ">";
        return {data.begin(), data.end()};
    }
};

pack::PackItem SampleTree() {
    pack::PackItem root = Dir("", {
        File("Readme.TXT", "hello"),
        File("empty.bin", ""),
        Dir("Sub", {File("deep.txt", std::string(5000, 'd')), Dir("Inner", {File("x", "x!")})}),
        File("runs.dat", std::string(20000, 'r') + "tail"),
    });
    return root;
}

// Patches a 32-bit field of an archive's plain (unscrambled) form.
std::vector<uint8_t> Patched32(const std::vector<uint8_t>& archive, size_t offset, uint32_t value) {
    std::vector<uint8_t> plain = Unscrambled(archive);
    arc::Write32(plain.data() + offset, value);
    return Scrambled(plain);
}

arc::Header HeaderOf(const std::vector<uint8_t>& archive) {
    return arc::DecodeHeader(Unscrambled(archive).data());
}

}  // namespace

TEST(ArchiveIndex, EveryVersionReadsBack) {
    for (uint16_t version = 0; version <= 3; ++version) {
        for (bool compress : {false, true}) {
            Loaded a(MakeArchive(SampleTree(), version, compress));
            ASSERT_EQ(a.result, arc::LoadResult::Ok) << version << " " << a.error;
            EXPECT_EQ(a.index.header().version, version);
            EXPECT_EQ(a.read("Readme.TXT"), "hello");
            EXPECT_EQ(a.read("empty.bin"), "");
            EXPECT_EQ(a.read("Sub\\deep.txt"), std::string(5000, 'd'));
            EXPECT_EQ(a.read("Sub/Inner/x"), "x!");
            EXPECT_EQ(a.read("runs.dat"), std::string(20000, 'r') + "tail");
            const bool anyCompressed = std::any_of(a.index.nodes().begin(), a.index.nodes().end(),
                                                   [](const arc::Node& n) { return n.entry.isCompressed(); });
            EXPECT_EQ(anyCompressed, compress && version >= 2) << version;
        }
    }
}

TEST(ArchiveIndex, NamesMatchWithoutRegardToAsciiCase) {
    Loaded a(MakeArchive(SampleTree()));
    ASSERT_EQ(a.result, arc::LoadResult::Ok);
    EXPECT_EQ(a.read("README.txt"), "hello");
    EXPECT_EQ(a.read("sub\\INNER\\X"), "x!");
    EXPECT_EQ(a.read("Readme.TX"), "<missing>");
    EXPECT_EQ(a.read("Readme.TXTX"), "<missing>");
    // A folder is not a file, and a file is not a folder.
    EXPECT_EQ(a.read("Sub"), "<missing>");
    EXPECT_EQ(a.read("Readme.TXT\\x"), "<missing>");
}

TEST(ArchiveIndex, DotsMoveWithinTheArchiveButNotAboveIt) {
    Loaded a(MakeArchive(SampleTree()));
    EXPECT_EQ(a.read(".\\Sub\\.\\Inner\\..\\deep.txt"), std::string(5000, 'd'));
    EXPECT_EQ(a.read("Sub\\..\\Readme.TXT"), "hello");
    EXPECT_NE(a.read("..\\Readme.TXT").find("<error: "), std::string::npos);
    EXPECT_NE(a.read("Sub\\..\\..\\Sub\\deep.txt").find("<error: "), std::string::npos);
}

TEST(ArchiveIndex, ShiftJisSecondBytesAreNeitherSeparatorsNorLetters) {
    // 0x83 0x5C ends in "\"; 0x83 0x61 ends in "a". Neither byte may be
    // split at or upper-cased.
    const std::string so = "\x83\x5C.bmp";
    const std::string lower = "\x83\x61z.wav";
    EXPECT_EQ(arc::UpperName(lower), "\x83\x61Z.WAV");
    EXPECT_EQ(arc::SplitName("dir\\" + so).size(), 2u);
    Loaded a(MakeArchive(Dir("", {Dir("\x93\xFA", {File(so, "so")}), File(lower, "low")})));
    ASSERT_EQ(a.result, arc::LoadResult::Ok) << a.error;
    EXPECT_EQ(a.read("\x93\xFA\\" + so), "so");
    EXPECT_EQ(a.read("\x83\x61Z.WAV"), "low");
    EXPECT_EQ(a.read("\x83\x41z.wav"), "<missing>");   // the second byte keeps its case
}

TEST(ArchiveIndex, SecondKeyIsTriedWhenTheFirstDoesNotFit) {
    std::vector<uint8_t> plain = Unscrambled(MakeArchive(SampleTree()));
    arc::Scrambler(arc::SecondKey()).Apply(plain.data(), plain.size(), 0);
    Loaded a(plain);
    ASSERT_EQ(a.result, arc::LoadResult::Ok) << a.error;
    EXPECT_TRUE(a.index.usedSecondKey());
    EXPECT_EQ(a.read("Sub\\deep.txt"), std::string(5000, 'd'));
}

TEST(ArchiveIndex, ScrambleKeyFollowsItsRules) {
    const arc::ScrambleKey key = arc::BuildKey();
    const arc::ScrambleKey same = arc::BuildKey();
    EXPECT_EQ(key, same);
    // A key text is repeated to twelve bytes; only its first twelve count.
    EXPECT_EQ(arc::BuildKey("ab"), arc::BuildKey("abababababab"));
    EXPECT_EQ(arc::BuildKey("0123456789AB"), arc::BuildKey("0123456789ABCDEF"));
    EXPECT_NE(arc::BuildKey("0123456789AB"), arc::BuildKey("0123456789AC"));
    // Scrambling is its own inverse and depends on the position mod 12.
    std::vector<uint8_t> data = Noise(100), copy = data;
    arc::Scrambler s(key);
    s.Apply(data.data(), data.size(), 5);
    EXPECT_NE(data, copy);
    s.Apply(data.data(), 40, 5);
    s.Apply(data.data() + 40, 60, 45);
    EXPECT_EQ(data, copy);
}

// The built-in key's bytes, worked out by hand from the fill byte 0xB7 and
// each position's transform. Every other test scrambles with BuildKey and
// reads with BuildKey, so a wrong transform there undoes itself; these
// answers do not move with it.
namespace {

constexpr uint8_t kBuiltInKey[12] = {0x48, 0x7B, 0x8B, 0x84, 0x48, 0x1E, 0x48, 0x09, 0xBD, 0xD1, 0x64, 0x65};

std::vector<uint8_t> ScrambledByHand(std::vector<uint8_t> bytes) {
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] ^= kBuiltInKey[i % 12];
    return bytes;
}

}  // namespace

TEST(ArchiveIndex, ScrambleKeyHasItsKnownBytesAtEveryPosition) {
    const arc::ScrambleKey builtIn = arc::BuildKey();
    for (size_t i = 0; i < 12; ++i) EXPECT_EQ(builtIn[i], kBuiltInKey[i]) << "built-in key, position " << i;
    // Twelve different bytes through the same transforms: inversion (0, 4,
    // 6), halves exchanged (1; 3 then inverted; 10 then 0x1F), rotations
    // (7 right by 3 then inverted, 8 left by 3), constants (2, 5, 9, 11).
    constexpr uint8_t kFromText[12] = {0xAF, 0x16, 0x5F, 0x49, 0xD3, 0x89, 0x88, 0xD2, 0xA3, 0x05, 0x99, 0xF3};
    const arc::ScrambleKey fromText = arc::BuildKey("Pack, witch!");
    for (size_t i = 0; i < 12; ++i) EXPECT_EQ(fromText[i], kFromText[i]) << "key text, position " << i;
    for (uint8_t b : arc::SecondKey()) EXPECT_EQ(b, 0x4E);
    // The byte at file offset P is exclusive-or'ed with K[P mod 12].
    std::vector<uint8_t> zeros(61, 0);
    arc::Scrambler(builtIn).Apply(zeros.data(), zeros.size(), 7);
    for (size_t i = 0; i < zeros.size(); ++i) ASSERT_EQ(zeros[i], kBuiltInKey[(7 + i) % 12]) << i;
}

// An archive written byte by byte, without the pack tool's code: names of 3,
// 4 and 8 characters take 1, 2 and 3 four-byte units (a name always ends in
// at least one zero byte).
TEST(ArchiveIndex, AHandMadeArchiveIsReadByItsNames) {
    struct Entry {
        std::string name, data;
    };
    const std::vector<Entry> entries = {{"abc", "ABC-data"}, {"Four", "four!"}, {"eight.tx", "eight"}};
    std::vector<uint8_t> names, files, data;
    const auto put = [](std::vector<uint8_t>& out, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    };
    for (const Entry& e : entries) {
        const uint32_t nameAt = static_cast<uint32_t>(names.size());
        const size_t units = e.name.size() / 4 + 1;
        std::string upper = e.name;
        uint32_t sum = 0;
        for (char& c : upper) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            sum += static_cast<uint8_t>(c);
        }
        put(names, static_cast<uint32_t>(units), 2);
        put(names, sum & 0xFFFF, 2);
        for (const std::string& form : {upper, e.name})
            for (size_t i = 0; i < units * 4; ++i) names.push_back(i < form.size() ? static_cast<uint8_t>(form[i]) : 0);
        put(files, nameAt, 4);
        put(files, 0, 4);                                  // attributes: a file
        for (int t = 0; t < 6; ++t) put(files, 0, 4);     // three file times, 8 bytes each
        put(files, static_cast<uint32_t>(data.size()), 4);
        put(files, static_cast<uint32_t>(e.data.size()), 4);
        data.insert(data.end(), e.data.begin(), e.data.end());
    }
    ASSERT_EQ(names.size(), 12u + 20u + 28u);
    const uint32_t fileTable = static_cast<uint32_t>(names.size());
    const uint32_t directoryTable = fileTable + static_cast<uint32_t>(files.size());
    std::vector<uint8_t> index = names;
    index.insert(index.end(), files.begin(), files.end());
    put(index, 0xFFFFFFFF, 4);                             // the root: no file entry,
    put(index, 0xFFFFFFFF, 4);                             // no parent,
    put(index, static_cast<uint32_t>(entries.size()), 4);  // three entries
    put(index, 0, 4);                                      // from the file table's start
    std::vector<uint8_t> archive = {'Q', 'R'};
    put(archive, 1, 2);                                    // version 1: 40-byte entries
    put(archive, static_cast<uint32_t>(index.size()), 4);
    put(archive, 24, 4);                                   // data right after the header
    put(archive, static_cast<uint32_t>(24 + data.size()), 4);
    put(archive, fileTable, 4);
    put(archive, directoryTable, 4);
    archive.insert(archive.end(), data.begin(), data.end());
    archive.insert(archive.end(), index.begin(), index.end());

    Loaded a(ScrambledByHand(archive));
    ASSERT_EQ(a.result, arc::LoadResult::Ok) << a.error;
    EXPECT_FALSE(a.index.usedSecondKey());
    EXPECT_EQ(a.read("ABC"), "ABC-data");
    EXPECT_EQ(a.read("four"), "four!");
    EXPECT_EQ(a.read("Eight.TX"), "eight");
    EXPECT_EQ(a.read("Fou"), "<missing>");

    // The pack tool writes the same name entry, byte for byte.
    const std::vector<uint8_t> packed = ScrambledByHand(MakeArchive(Dir("", {File("Four", "four!")})));
    const std::vector<uint8_t> entry = {2, 0, 0x3C, 0x01, 'F', 'O', 'U', 'R', 0, 0, 0, 0, 'F', 'o', 'u', 'r', 0, 0, 0, 0};
    EXPECT_NE(std::search(packed.begin(), packed.end(), entry.begin(), entry.end()), packed.end());
}

TEST(ArchiveIndex, ForeignFilesAreNotArchives) {
    EXPECT_EQ(Loaded(Bytes("")).result, arc::LoadResult::NotArchive);
    EXPECT_EQ(Loaded(Bytes("QR but not scrambled at all")).result, arc::LoadResult::NotArchive);
    EXPECT_EQ(Loaded(Noise(1000)).result, arc::LoadResult::NotArchive);
    std::vector<uint8_t> plain = Unscrambled(MakeArchive(SampleTree()));
    arc::Write16(plain.data() + 2, 4);
    EXPECT_EQ(Loaded(Scrambled(plain)).result, arc::LoadResult::NotArchive);
}

TEST(ArchiveIndex, BrokenIndexesAreRefused) {
    const std::vector<uint8_t> good = MakeArchive(SampleTree());
    const arc::Header h = HeaderOf(good);
    const size_t fileTable = h.indexOffset + h.fileTableOffset;
    const size_t directoryTable = h.indexOffset + h.directoryTableOffset;
    const size_t entry = arc::FileEntrySize(3);
    // The root lists Readme.TXT, empty.bin, Sub, runs.dat, in the order given.
    const size_t subEntry = fileTable + 2 * entry;
    struct Case {
        const char* what;
        std::vector<uint8_t> archive;
    } cases[] = {
        {"index beyond the end", Patched32(good, 12, static_cast<uint32_t>(good.size()))},
        {"index size beyond the end", Patched32(good, 4, h.indexSize + 1)},
        {"index size huge", Patched32(good, 4, 0xFFFFFFF0)},
        {"data area beyond the end", Patched32(good, 8, static_cast<uint32_t>(good.size() + 1))},
        {"directory table outside the index", Patched32(good, 20, h.indexSize - 8)},
        {"file table outside the index", Patched32(good, 16, h.indexSize + 4)},
        {"root count huge", Patched32(good, directoryTable + 8, 0x10000000)},
        {"root entries run off", Patched32(good, directoryTable + 12, h.indexSize)},
        {"folder points at the root: a loop", Patched32(good, subEntry + 32, 0)},
        {"folder points outside the directory table", Patched32(good, subEntry + 32, h.indexSize)},
        {"name offset outside", Patched32(good, fileTable + 0, h.indexSize - 2)},
        {"name runs off the table", [&] {
             std::vector<uint8_t> plain = Unscrambled(good);
             arc::Write16(plain.data() + h.indexOffset + arc::Le32(plain.data() + fileTable), 0xFFFF);
             return Scrambled(plain);
         }()},
        {"empty name", [&] {
             std::vector<uint8_t> plain = Unscrambled(good);
             arc::Write16(plain.data() + h.indexOffset + arc::Le32(plain.data() + fileTable), 0);
             return Scrambled(plain);
         }()},
        {"cut short", std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(good.size() / 2))},
    };
    for (const Case& c : cases) {
        Loaded a(c.archive);
        EXPECT_NE(a.result, arc::LoadResult::Ok) << c.what;
        if (a.result == arc::LoadResult::Broken) {
            EXPECT_FALSE(a.error.empty()) << c.what;
        }
    }
    // Two folders both claiming the same directory entry.
    Loaded twoDirs(MakeArchive(Dir("", {Dir("a", {File("f", "1")}), Dir("b", {File("g", "2")})})));
    ASSERT_EQ(twoDirs.result, arc::LoadResult::Ok);
    const arc::Header h2 = HeaderOf(twoDirs.bytes);
    const size_t second = h2.indexOffset + h2.fileTableOffset + entry;
    Loaded shared(Patched32(twoDirs.bytes, second + 32, arc::kDirectoryEntrySize));
    EXPECT_EQ(shared.result, arc::LoadResult::Broken);
}

TEST(ArchiveIndex, BrokenEntriesFailWhenRead) {
    const std::string big = std::string(30000, 'a') + std::string(30000, 'b');
    const std::vector<uint8_t> good = MakeArchive(Dir("", {File("big", big), File("small", "small")}));
    const arc::Header h = HeaderOf(good);
    const size_t fileTable = h.indexOffset + h.fileTableOffset;
    Loaded ok(good);
    ASSERT_EQ(ok.read("big"), big);
    ASSERT_TRUE(ok.index.nodes()[0].entry.isCompressed());
    const uint32_t packedSize = ok.index.nodes()[0].entry.compressedSize;
    const size_t packedAt = h.dataOffset + ok.index.nodes()[0].entry.dataOffset;

    auto readFails = [](std::vector<uint8_t> archive, const char* what) {
        Loaded a(std::move(archive));
        ASSERT_EQ(a.result, arc::LoadResult::Ok) << what;
        EXPECT_EQ(a.read("big").rfind("<error: ", 0), 0u) << what;
    };
    readFails(Patched32(good, fileTable + 36, 60001), "size disagrees with the stream's header");
    readFails(Patched32(good, fileTable + 40, packedSize - 1), "compressed size disagrees");
    readFails(Patched32(good, fileTable + 36, 300u << 20), "expanded size beyond the bound");
    readFails(Patched32(good, fileTable + 32, static_cast<uint32_t>(good.size())), "data beyond the end");
    readFails(Patched32(good, fileTable + 40, 5), "compressed size shorter than a header");
    {
        // The stream's first code made into a back-reference reaching back.
        std::vector<uint8_t> plain = Unscrambled(good);
        const uint8_t escape = plain[packedAt + 8];
        plain[packedAt + 9] = escape;
        plain[packedAt + 10] = escape == 0 ? 1 : 0;
        plain[packedAt + 11] = 200;
        readFails(Scrambled(plain), "back-reference before the start");
    }
    // The other entry stays readable.
    Loaded a(Patched32(good, fileTable + 36, 60001));
    EXPECT_EQ(a.read("small"), "small");
}
