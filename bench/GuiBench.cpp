// kitwright-gui-bench: the editor's real main window on a generated game folder, timed as a user meets it,
// from the start-up to a window showing the data to Ctrl+S with one edit and with none, and printed with the
// goals beside the figures. The interactions are the rows of GuiSteps.cpp.
//
// Each scale runs in a child process of its own, with an application object of its own. Every time is the
// median of several runs after a warm-up, taken by the steady clock the editor times its runs with.

#include "BenchKit.h"
#include "GuiSession.h"
#include "GuiSteps.h"
#include "app/Application.h"
#include "catalog/SyntheticGame.h"

#include <QScopeGuard>
#include <QStandardPaths>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

using kw::bench::GuiSteps;
using kw::bench::TGuiStep;

// One median per step, in the order of the table; empty when the scale failed.
using TMedians = std::vector<double>;

// In the child: the application, the folders, then every step in turn on the same window.
std::string MeasureScale(int scale, int runs) {
    // Whatever the window falls back to must not touch the real user's folders.
    QStandardPaths::setTestModeEnabled(true);
    int argc = 1;
    char name[] = "kitwright-gui-bench";
    char* argv[] = {name, nullptr};
    kw::TApplication app(argc, argv);
    kw::bench::TGuiSession session(scale);
    app.SetPlatform(&session.Platform());
    const auto restore = qScopeGuard([&app] { app.SetPlatform(nullptr); });
    TMedians medians;
    for (const TGuiStep& step : GuiSteps()) {
        medians.push_back(kw::bench::MedianMs(
            runs, [&] { step.Act(session); }, [&] { step.Prepare(session); }, [&] { step.Check(session); }));
    }
    return {reinterpret_cast<const char*>(medians.data()), medians.size() * sizeof(double)};
}

TMedians MeasureInChild(int scale, int runs) {
    const std::optional<std::string> bytes =
        kw::bench::RunInChild("scale " + std::to_string(scale), [&] { return MeasureScale(scale, runs); });
    TMedians medians(GuiSteps().size());
    if (!bytes || bytes->size() != medians.size() * sizeof(double)) {
        return {};
    }
    std::memcpy(medians.data(), bytes->data(), bytes->size());
    return medians;
}

double FigureOf(const TMedians& medians, const char* step) {
    const auto steps = GuiSteps();
    const auto found = std::find_if(steps.begin(), steps.end(),
                                    [&](const TGuiStep& s) { return std::strcmp(s.Name, step) == 0; });
    return found == steps.end() ? NAN : medians[static_cast<size_t>(found - steps.begin())];
}

void PrintRow(const TGuiStep& step, double ms, const TMedians& medians) {
    std::printf("  %-16s %9.1f ms", step.Name, ms);
    const kw::bench::TGoal& goal = step.Goal;
    char text[32];
    if (goal.Floor != nullptr) {
        const double ratio = ms / FigureOf(medians, goal.Floor);
        std::snprintf(text, sizeof text, "<= %.0f x", goal.TimesFloor);
        std::printf("   %-14s %8.2f   goal %-10s %s", goal.Floor, ratio, text,
                    kw::bench::Verdict(ratio, goal.TimesFloor));
    } else if (goal.UnderMs > 0) {
        std::snprintf(text, sizeof text, "< %.0f ms", goal.UnderMs);
        std::printf("   %-14s %8s   goal %-10s %s", "", "", text, kw::bench::Verdict(ms, goal.UnderMs));
    }
    std::printf("\n");
}

void PrintScale(int scale, int runs, const TMedians& medians) {
    const kw::test::TSyntheticGameSize size = kw::test::SyntheticGameSize(scale);
    std::printf("\nScale %d: %d weapon files, %d ammunition, %d outfits, %d artefacts, %d items, %d weather "
                "slots; median of %d runs\n",
                scale, size.Weapons, size.Ammo, size.Outfits, size.Artefacts, size.Items, size.WeatherSlots,
                runs);
    if (medians.empty()) {
        std::printf("  failed\n");
        return;
    }
    std::printf("  %-16s %12s   %-14s %8s\n", "step", "median", "compared with", "ratio");
    for (size_t i = 0; i < medians.size(); ++i) {
        PrintRow(GuiSteps()[i], medians[i], medians);
    }
    std::fflush(stdout);
}

void PrintNotes() {
    std::printf("\n");
    for (const TGuiStep& step : GuiSteps()) {
        std::printf("%s: %s.\n", step.Name, step.Timed);
    }
    std::printf(
        "The window runs on the platform plugin named by QT_QPA_PLATFORM (offscreen: nothing reaches a "
        "screen); the game\nfiles are in the page cache after the warm-up.\n");
}

const char* const kUsage =
    "Usage: kitwright-gui-bench [--scales 10,100] [--runs 5]\n"
    "Times the editor's main window on a generated game folder per scale: start-up until the data shows,\n"
    "Ctrl+S with one edit and with none. Run it with QT_QPA_PLATFORM=offscreen to keep it off the screen.\n";

} // namespace

int main(int argc, char** argv) {
    kw::bench::TBenchOptions options{{10, 100}, 5};
    if (const std::optional<int> exitCode = kw::bench::ParseOptions(argc, argv, options, kUsage)) {
        return *exitCode;
    }
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    std::printf(
        "kitwright-gui-bench: the main window on the %s platform, medians of %d runs after a warm-up\n",
        platform != nullptr && *platform != '\0' ? platform : "default", options.Runs);
    bool allOk = true;
    for (int scale : options.Scales) {
        const TMedians medians = MeasureInChild(scale, options.Runs);
        PrintScale(scale, options.Runs, medians);
        allOk = allOk && !medians.empty();
    }
    PrintNotes();
    return allOk ? 0 : 1;
}
