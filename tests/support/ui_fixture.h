#pragma once
// The widget tests' set-up: an isolated home, settings, prompter and random source.

#include "platform/error_handler.h"
#include "settings/settings.h"
#include "support/scripted_prompter.h"
#include "support/scripted_random.h"
#include "support/temp_folder.h"

#include <QString>
#include <gtest/gtest.h>
#include <stdexcept>

namespace quillmark::test {

// The control named `name` inside `window`; a missing control fails the test.
template <typename T> T* control(const QObject& window, const QString& name) {
    T* found = window.findChild<T*>(name);
    if (!found)
        throw std::runtime_error("no control named " + name.toStdString());
    return found;
}
template <typename T> T* control(const QObject& window, const char* name) {
    return control<T>(window, QString::fromLatin1(name));
}

class UiTest : public ::testing::Test {
protected:
    UiTest() {
        isolateHome(dir.path());
        setErrorLogPath(dir.file("errorlog.dat"));
        resetErrorLogCount();
        random.zeroWhenUsedUp = true;
    }

    TempFolder dir;
    std::string ini = dir.file("Quillmark.INI");
    Settings settings{ini};
    ScriptedPrompter prompter;
    ScriptedRandom random;
};

} // namespace quillmark::test
