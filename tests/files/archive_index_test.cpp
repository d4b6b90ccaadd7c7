// Reading archives: the layout, the name rules and hand-made broken archives.
#include "media/files/archive_index.h"
#include "media/files/expander.h"
#include "media/files/scramble_key.h"
#include "media/files/sjis_names.h"
#include "tests/files/archive_test_helpers.h"

#include <gtest/gtest.h>

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
