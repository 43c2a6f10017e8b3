// The 32-byte name fields of song and bank files: the text, then zero bytes;
// a 32-byte text fills the field with no terminator.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace melvo {

inline constexpr std::size_t kTextFieldSize = 32;
using TextField = std::array<std::uint8_t, kTextFieldSize>;

// The field's text: its bytes up to the first zero byte, or all 32.
std::string FieldText(const TextField& field);

// A field holding the first `maxLength` bytes of `text` (at most 32), zero-filled.
TextField MakeTextField(std::string_view text, std::size_t maxLength = kTextFieldSize);

}  // namespace melvo
