// A ToolScreen driven by a list of answers, keeping everything shown as one
// transcript the way a piped run shows it: each answer is echoed with a line end.
#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tool/tool_screen.hpp"

namespace melvo::test {

class ScriptedScreen final : public ToolScreen {
public:
    explicit ScriptedScreen(const std::vector<std::string>& answers) : answers_(answers.begin(), answers.end()) {}

    void Print(std::string_view text) override { transcript_ += text; }
    std::string ReadField() override {
        if (answers_.empty()) {
            return {};
        }
        std::string answer = std::move(answers_.front());
        answers_.pop_front();
        transcript_ += answer + "\n";
        return answer;
    }

    const std::string& transcript() const { return transcript_; }
    std::size_t unreadAnswers() const { return answers_.size(); }

private:
    std::deque<std::string> answers_;
    std::string transcript_;
};

}  // namespace melvo::test
