// The dialog's responsiveness while the optimal moves' marks are computed: the
// real program offscreen over the real tables steps through the solution of a
// standard instance with the marks on (every step asks for a new analysis, the
// one running is cancelled), turning them off and on now and then, while a 1 ms
// timer records the longest gap between two turns of the GUI thread's event
// loop. Each run prints that gap and the 99th percentile; the last line is the
// median over the runs.
//
//   QT_QPA_PLATFORM=offscreen build/release/bench/fifteen_dialog_responsiveness_bench [runs]

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "puzzle/position_parser.h"
#include "search/report.h"
#include "ui/main_dialog.h"
#include "ui/qt_platform.h"

using namespace fifteen;
using namespace fifteen::ui;

namespace {

// Korf's instance 74 in this program's orientation (56 moves): its later
// positions analyse in a fraction of a second, its earlier ones in seconds.
constexpr const char* instance = "11 4 6 14 15 13 9 0 7 10 8 1 5 12 3 2";
constexpr int stepMs = 120;

// Gaps between ticks; what the GUI thread does between two loops (the actions
// themselves) counts in the gap it delays.
struct Gaps {
    QElapsedTimer clock;
    qint64 last = -1;
    std::vector<qint64> ms;
    void tick() {
        if (!clock.isValid()) clock.start();
        const qint64 now = clock.elapsed();
        if (last >= 0) ms.push_back(now - last);
        last = now;
    }
    qint64 longest() const { return ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end()); }
    qint64 percentile99() const {
        std::vector<qint64> sorted = ms;
        std::sort(sorted.begin(), sorted.end());
        return sorted.empty() ? 0 : sorted[sorted.size() * 99 / 100];
    }
};

// Runs the event loop for ms, recording the gaps between ticks of a 1 ms timer.
void runMeasured(Gaps& gaps, int ms, const std::function<bool()>& done = {}) {
    QElapsedTimer clock;
    clock.start();
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, [&] { gaps.tick(); });
    timer.start(1);
    gaps.tick();
    while (clock.elapsed() < ms && !(done && done())) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    gaps.tick();
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    QApplication app(argc, argv);
    QtPlatform platform;
    MainDialog dialog(platform);
    platform.build(dialog);
    platform.dialog()->show();
    Gaps ignored;
    runMeasured(ignored, 600'000, [&] { return dialog.allReady(); });
    if (!dialog.allReady()) {
        std::fprintf(stderr, "the tables were not ready in time\n");
        return 1;
    }
    platform.setClipboardText(instance);
    dialog.runAction(Action::pastePosition);
    dialog.onCommand(idSolve);
    runMeasured(ignored, 600'000, [&] { return dialog.mode() == UiMode::solved; });
    const int32_t length = dialog.lastSolve().length;

    std::vector<qint64> longest;
    for (int run = 0; run < runs; ++run) {
        Gaps gaps;
        gaps.tick();
        // The first run's first toggle also makes the analyser's record.
        dialog.runAction(Action::toProblem);
        if (!dialog.marksOn()) dialog.runAction(Action::showOptimalMoves);
        int analysed = 0;
        for (int32_t step = 0; step < length; ++step) {
            dialog.runAction(Action::stepForward);
            if (step % 11 == 10) {
                dialog.runAction(Action::showOptimalMoves);
                runMeasured(gaps, 20);
                dialog.runAction(Action::showOptimalMoves);
            }
            runMeasured(gaps, stepMs);
            if (dialog.marks().any()) ++analysed;
        }
        // The last positions' marks, let through to the end.
        runMeasured(gaps, 1000, [&] { return dialog.marks().any(); });
        std::printf(
            "run %d: %zu ticks, longest gap %lld ms, 99th percentile %lld ms, marks shown "
            "after %d of %d steps\n",
            run + 1, gaps.ms.size(), static_cast<long long>(gaps.longest()),
            static_cast<long long>(gaps.percentile99()), analysed, length);
        longest.push_back(gaps.longest());
    }
    std::sort(longest.begin(), longest.end());
    std::printf("median longest gap over %d runs: %lld ms\n", runs,
                static_cast<long long>(longest[longest.size() / 2]));
    dialog.onClose();
    return 0;
}
