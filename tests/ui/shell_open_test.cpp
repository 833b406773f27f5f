#include "ui/shell_open.h"

#include "support/scripted_prompter.h"
#include "support/temp_folder.h"
#include "ui/help.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace quillmark {
namespace {

TEST(ShellOpen, OnlyWhatIsThereReachesTheDesktopAndAFailureSaysWhy) {
    test::TempFolder tmp;
    test::ScriptedPrompter prompter;
    const auto path = [&](const char* name) {
        return QString::fromStdString(tmp.file(name));
    };
    std::vector<QUrl> opened;
    setUrlOpener([&](const QUrl& url) {
        opened.push_back(url);
        return true;
    });
    test::spit(tmp.file("page one.htm"), "<p>hi</p>");
    const std::pair<QString, std::optional<ErrorCode>> cases[] = {
        {path("page one.htm"), std::nullopt},
        {QStringLiteral("HTTPS://example.org/quillmark"), std::nullopt},
        {path("missing.htm"), ErrorCode::NotFound},
        {path("no-folder/missing.htm"), ErrorCode::PathNotFound},
        {QString(), ErrorCode::NotFound},
    };
    for (const auto& [file, code] : cases) {
        const Status opening = openInShell(file);
        EXPECT_EQ(opening ? std::nullopt : std::optional(opening.code()), code) << file.toStdString();
    }
    EXPECT_EQ(opened, (std::vector<QUrl>{QUrl::fromLocalFile(path("page one.htm")),
                                         QUrl(QStringLiteral("https://example.org/quillmark"))}));
    openDocument(prompter, path("missing.htm"));
    prompter.expectMessage(QStringLiteral("File not found"), QStringLiteral("Quillmark"));

    // A missing help page is named, so that the user can look for it.
    setHelpFolder(path("Help"));
    showHelp(prompter, QStringLiteral("index.htm"));
    prompter.expectMessage(
        QStringLiteral("Help file not found.\r") + path("Help/index.htm") +
            QStringLiteral("\rPlease visit the Halvrene Design website for the latest help files"),
        QStringLiteral("Sorry..."));
    setHelpFolder({});
    setUrlOpener({});
}

} // namespace
} // namespace quillmark
