// The stage-text compiler: any text; a stage it takes goes through the
// checks and back to text and to the three files.
#include "tools/stagec/stage_text.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const stagec::ParseResult parsed = stagec::parseStageText(text, "fuzz.txt");
    if (!parsed.errors.empty()) return 0;
    stagec::checkStage(parsed.data);
    const std::string again = stagec::writeStageText(parsed.data, "fuzz");
    const stagec::ParseResult back = stagec::parseStageText(again, "again.txt");
    if (!back.errors.empty() || !(back.data == parsed.data)) std::abort();  // written text reads back the same
    stagec::blockFileBytes(parsed.data);
    stagec::scriptFileBytes(parsed.data);
    return 0;
}
