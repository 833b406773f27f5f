#pragma once
// A Prompter for tests: records every call and answers from a script.

#include "ui/prompter.h"

#include <QWidget>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace quillmark::test {

class ScriptedPrompter final : public Prompter {
public:
    struct Call {
        QString kind; // "message", "openFile", "openFiles", "saveFile", "chooseFolder"
        QString text; // message text or dialog caption
        QString title;
        QString path;              // start path of a dialog
        QWidget* window = nullptr; // the asker's window; null when the main window was meant
    };

    std::vector<Call> calls;
    std::deque<Answer> answers;        // next message answers; Ok (or Cancel for questions) when empty
    std::deque<QString> paths;         // next dialog results; empty (cancelled) when none left
    std::deque<QStringList> pathLists; // next multi-file dialog results; empty (cancelled) when none left
    // Runs while a message is "open", e.g. to deliver a stop request at that moment.
    std::function<void(const Call&)> whileOpen;

    Answer message(QWidget* asker, const QString& text, const QString& title, Icon,
                   Buttons buttons) override {
        calls.push_back({QStringLiteral("message"), text, title, {}, windowOf(asker)});
        if (whileOpen)
            whileOpen(calls.back());
        return take(answers, buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel);
    }
    QString openFile(QWidget* asker, const QString& caption, const QString& startPath,
                     const QString&) override {
        return dialog(asker, QStringLiteral("openFile"), caption, startPath, paths);
    }
    QStringList openFiles(QWidget* asker, const QString& caption, const QString& startPath,
                          const QString&) override {
        return dialog(asker, QStringLiteral("openFiles"), caption, startPath, pathLists);
    }
    QString saveFile(QWidget* asker, const QString& caption, const QString& startPath,
                     const QString&) override {
        return dialog(asker, QStringLiteral("saveFile"), caption, startPath, paths);
    }
    QString chooseFolder(QWidget* asker, const QString& caption, const QString& startFolder) override {
        return dialog(asker, QStringLiteral("chooseFolder"), caption, startFolder, paths);
    }

    // Exactly one message shown since the last check, with this text (and title, when given).
    void expectMessage(const QString& text, const QString& title = {}) {
        const std::vector<Call> shown = messages();
        ASSERT_EQ(shown.size(), ++m_checked) << "expected the message: " << text.toStdString();
        EXPECT_EQ(shown.back().text.toStdString(), text.toStdString());
        EXPECT_TRUE(title.isEmpty() || shown.back().title == title) << shown.back().title.toStdString();
    }

    std::vector<Call> messages() const {
        std::vector<Call> out;
        for (const auto& c : calls)
            if (c.kind == QStringLiteral("message"))
                out.push_back(c);
        return out;
    }

private:
    std::size_t m_checked = 0;
    static QWidget* windowOf(QWidget* asker) { return asker ? asker->window() : nullptr; }
    template <typename T> static T take(std::deque<T>& script, T whenEmpty = {}) {
        if (script.empty())
            return whenEmpty;
        T next = script.front();
        script.pop_front();
        return next;
    }
    template <typename T>
    T dialog(QWidget* asker, const QString& kind, const QString& caption, const QString& start,
             std::deque<T>& script) {
        calls.push_back({kind, caption, {}, start, windowOf(asker)});
        return take(script);
    }
};

} // namespace quillmark::test
