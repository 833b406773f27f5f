#pragma once
// Shared set-up of the widget tests: an isolated home, a settings file in a temporary
// folder, a scripted prompter and a random source that gives chosen numbers.

#include "platform/error_handler.h"
#include "settings/settings.h"
#include "signature/random.h"
#include "support/temp_folder.h"
#include "ui/scripted_prompter.h"

#include <deque>
#include <gtest/gtest.h>

namespace quillmark::test {

class FixedRandom final : public RandomSource {
public:
    std::deque<float> values; // returned in turn; 0 when used up
    float next() override {
        if (values.empty())
            return 0.0f;
        float v = values.front();
        values.pop_front();
        return v;
    }
};

class UiTest : public ::testing::Test {
protected:
    UiTest() {
        isolateHome(dir.path());
        setErrorLogPath(dir.file("errorlog.dat"));
        resetErrorLogCount();
    }

    TempFolder dir;
    std::string ini = dir.file("Quillmark.INI");
    Settings settings{ini};
    ScriptedPrompter prompter;
    FixedRandom random;
};

} // namespace quillmark::test
