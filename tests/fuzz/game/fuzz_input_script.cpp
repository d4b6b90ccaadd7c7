// The input-script compiler: any text.
#include "tools/runner/input_script.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    input_script::compile(text, "fuzz.script");
    return 0;
}
