// Where a decoder reads its bytes: a block of memory (the whole file read in
// at load) or a file kept open through the file layer and read as it plays.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace media::sound {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to size bytes; fewer at the end of the data.
    virtual size_t Read(void* buffer, size_t size) = 0;
    // origin 0 start, 1 current, 2 end, as the file layer. False when refused.
    virtual bool Seek(int64_t offset, int origin) = 0;
    virtual int64_t Tell() = 0;
    virtual int64_t Size() = 0;
};

std::unique_ptr<ByteSource> MakeMemorySource(std::vector<uint8_t> bytes);
// Takes over an open file-layer handle and closes it when destroyed.
std::unique_ptr<ByteSource> MakeFileSource(int fileHandle);

// Reads a whole file through the file layer.
enum class ReadResult { kOk, kOpenFailed, kNoMemory };
ReadResult ReadWholeFile(const char* name, std::vector<uint8_t>& bytes);

// The largest file read whole into memory.
constexpr int64_t kMaxWholeFileBytes = int64_t{1} << 30;

}  // namespace media::sound
