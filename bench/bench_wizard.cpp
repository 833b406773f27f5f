// The wizard's last Next to the first signature on disk (target: at most 100 ms): the header
// file written, the profile stored through the Profiles tab's Save and Choose, the entry
// files loaded and the signature written, as the main window wires them.
#include "bench_support.h"

#include "profiles/profile_menu.h"
#include "profiles/profiles_tab.h"
#include "settings/settings.h"
#include "signature/compose.h"
#include "signature/random.h"
#include "signature/signature_tab.h"
#include "ui/prompter.h"
#include "wizard/first_run_wizard.h"
#include "wizard/profiles_tab_host.h"

#include <QApplication>
#include <QPushButton>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <memory>

namespace quillmark {
namespace {

class SilentPrompter final : public Prompter {
public:
    Answer message(QWidget*, const QString&, const QString&, Icon, Buttons) override { return Answer::Yes; }
    QString openFile(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QStringList openFiles(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString saveFile(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString chooseFolder(QWidget*, const QString&, const QString&) override { return {}; }
};

class FirstRandom final : public RandomSource {
public:
    float next() override { return 0.5f; }
};

QApplication& application() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "bench_wizard";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

// One first start: a fresh settings file and signature folder holding the sample footers.
struct FirstStart {
    explicit FirstStart(const std::string& root)
        : sigs(root + "/Sigs"), settings(root + "/Quillmark.INI"), tab(settings, state, prompter),
          signatureTab(state, prompter, random),
          host(tab, settings, prompter, nullptr, [this] { return sigs; }), wizard(host, prompter) {
        std::filesystem::create_directories(sigs);
        for (const char* name : {"words.txt", "humour.txt"})
            std::filesystem::copy_file(std::string(QUILLMARK_SAMPLES_DIR) + "/" + name, sigs + "/" + name);
        tab.setSigPath(sigs);
        tab.setProfileMenu(&menu);
        QObject::connect(&tab, &ProfilesTab::profileMadeCurrent, &signatureTab, [this] {
            signatureTab.loadEntries();
            signatureTab.onUpdateClicked();
        });
        wizard.onNextClicked(0);
        wizard.onNextClicked(0);
    }

    std::string sigs;
    Settings settings;
    SignatureState state;
    SilentPrompter prompter;
    FirstRandom random;
    DetachedProfileMenu menu;
    ProfilesTab tab;
    SignatureTab signatureTab;
    ProfilesTabHost host;
    FirstRunWizard wizard;
};

void BM_WizardFinishToFirstSignature(benchmark::State& state) {
    application();
    for (auto _ : state) {
        state.PauseTiming();
        const std::string root = bench::freshFolder();
        auto start = std::make_unique<FirstStart>(root);
        state.ResumeTiming();

        start->wizard.onNextClicked(0);

        state.PauseTiming();
        if (!start->wizard.isFinished() || !std::filesystem::exists(start->sigs + "/sig.txt"))
            state.SkipWithError("the wizard did not write the first signature");
        start.reset();
        std::filesystem::remove_all(root);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WizardFinishToFirstSignature)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace quillmark
