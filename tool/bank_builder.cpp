#include "tool/bank_builder.hpp"

namespace melvo {

AfterOperation BuildBank(ToolScreen& screen) {
    screen.PrintLine("The bank builder is not there yet.");
    return AfterOperation::BackToMenu;
}

}  // namespace melvo
