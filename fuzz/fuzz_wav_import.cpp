// WAV files handed to the bank builder: the header fields and the search for
// the sample data, checked against a plain scan of the same bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "formats/byte_source.hpp"
#include "tool/wav_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const melvo::MemoryByteSource source(melvo::Bytes(data, size));
    const melvo::WavHeaderFields fields = melvo::ReadWavHeaderFields(source);
    if (fields.hasRiffTag != (size >= 4 && std::string_view(reinterpret_cast<const char*>(data), 4) == "RIFF")) {
        __builtin_trap();
    }
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t expected = bytes.find("data");
    const auto tag = melvo::FindDataTag(source);
    if (tag.has_value() != (expected != std::string_view::npos) || (tag && *tag != expected)) {
        __builtin_trap();
    }
    if (tag && melvo::SampleBytesAfterTag(size, *tag) > size) {
        __builtin_trap();
    }
    return 0;
}
