#include "formats/text_field.hpp"

#include <algorithm>

namespace melvo {

std::string FieldText(const TextField& field) {
    const auto end = std::find(field.begin(), field.end(), std::uint8_t{0});
    return std::string(field.begin(), end);
}

TextField MakeTextField(std::string_view text, std::size_t maxLength) {
    TextField field{};
    const std::size_t length = std::min({text.size(), maxLength, kTextFieldSize});
    for (std::size_t i = 0; i < length; ++i) {
        field[i] = static_cast<std::uint8_t>(text[i]);
    }
    return field;
}

}  // namespace melvo
