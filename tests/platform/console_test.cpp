#include "platform/console.hpp"

#include <gtest/gtest.h>

namespace melvo::platform {
namespace {

TEST(ForDisplay, ControlBytesBecomeQuestionMarksOnlyOnATerminal) {
    const std::string text = std::string("Ti\x1b[2Jtle\x7f\x01 ok") + "\xe9";
    EXPECT_EQ(ForDisplay(text, true), "Ti?[2Jtle?? ok\xe9");
    EXPECT_EQ(ForDisplay(text, false), text);
}

}  // namespace
}  // namespace melvo::platform
