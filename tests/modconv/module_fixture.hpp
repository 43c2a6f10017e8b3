// Amiga modules built in code: a header, the patterns, and sample data that
// the converter must never need.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/test_support.hpp"

namespace melvo::test {

// The finetune-0 period of a note named as trackers show it: "C-2", "C#2",
// "B-1" ... octaves 1 to 3.
int PeriodOf(std::string_view noteName);

class ModuleBuilder {
public:
    // `magic` goes to byte 1080; `channels` is the number of cells per row.
    explicit ModuleBuilder(std::string magic = "M.K.", int channels = 4);

    ModuleBuilder& Name(const std::string& name);  // raw bytes, at most 20
    ModuleBuilder& SongLength(std::uint8_t length);
    // Order entries from position 0; the rest of the 128 stay 0.
    ModuleBuilder& Order(const std::vector<std::uint8_t>& patterns);
    ModuleBuilder& OrderEntry(std::size_t position, std::uint8_t pattern);
    ModuleBuilder& Cell(int pattern, int row, int channel, int period, int sample, int effect = 0, int parameter = 0);
    ModuleBuilder& Note(int pattern, int row, int channel, std::string_view noteName, int sample) {
        return Cell(pattern, row, channel, PeriodOf(noteName), sample);
    }
    // How many patterns the file holds; by default as many as the order list names.
    ModuleBuilder& StoredPatterns(int count);
    ModuleBuilder& SampleData(std::size_t bytes);

    ByteVector Build() const;

private:
    std::string magic_;
    int channels_;
    std::string name_;
    std::uint8_t songLength_ = 1;
    std::vector<std::uint8_t> order_;
    std::map<int, ByteVector> patterns_;
    int storedPatterns_ = -1;
    std::size_t sampleData_ = 0;
};

}  // namespace melvo::test
