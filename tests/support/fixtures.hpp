// Song and bank files built in code for tests.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "formats/bank_layout.hpp"
#include "formats/song_record.hpp"
#include "tests/support/test_support.hpp"

namespace melvo::test {

// A version-2 song file with all slots empty unless set afterwards.
ByteVector SongFileBytes(const SongRecord& song);

// A bank whose 16 slots hold exactly `slots[i]` (missing slots are empty),
// laid out back to back from offset 512 with exact byte lengths.
ByteVector BankFileBytes(const std::vector<std::vector<std::int16_t>>& slots, const std::string& packName = "Pack",
                         const std::string& author = "Author");

// A bank file from a header and an explicit table, followed by `data` at 512.
ByteVector BankFileBytesWithTable(const BankTable& table, const ByteVector& data, const std::string& packName = "Pack",
                                  const std::string& author = "Author");

}  // namespace melvo::test
