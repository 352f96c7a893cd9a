// The Windows editor under Wine, run by the Linux benchmark as its child:
// the start-up of the editor's main window or of the plain one, or the Open
// of a fleet again by the editor's main window.
// Usage: zantor_bench_windows_startup MODE [LABELS EDITS BUTTONS]
//        zantor_bench_windows_startup open-window FILE RUNS
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/zantor_bench_startup.h"
#include "bench/zantor_bench_window.h"
#include "widgets/classic_look.h"

namespace {

// The editor's four windows, `file` opened through the File menu, then its
// Open again measured as the Linux benchmark measures it. Prints
// "open_window" with the medians of the Open and of the loader alone.
int run_open_window(int argc, char** argv, const QString& file, int runs)
{
    // Offscreen, as the Linux benchmark runs: Qt's own file dialog, which
    // the benchmark fills in, and no window system. On the windows platform,
    // on the benchmark's X server without a window manager, the dialog took
    // about 2 s to close under Wine: time in the window system, not in the
    // Open. (Wine keeps QT_ variables from Windows programs, so the program
    // sets them itself.)
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_QPA_FONTDIR", ZANTOR_BENCH_FONT_DIR);
    QApplication app(argc, argv);
    apply_classic_look(app);
    BenchEditor editor;
    open_seconds(editor.main_window, file);
    const OpenWindowFigures figures = measure_open_window(editor.main_window, file, runs);
    std::printf("open_window %.9f %.9f\n", figures.open_window, figures.loader);
    std::fflush(stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        return 2;
    }
    if (std::strcmp(argv[1], "open-window") == 0) {
        const int runs = argc == 4 ? std::atoi(argv[3]) : 0;
        return runs > 0 ? run_open_window(argc, argv, QString::fromLocal8Bit(argv[2]), runs) : 2;
    }
    WindowContent like;
    like.labels = argc > 2 ? std::atoi(argv[2]) : 0;
    like.edits = argc > 3 ? std::atoi(argv[3]) : 0;
    like.buttons = argc > 4 ? std::atoi(argv[4]) : 0;
    return run_startup(argc, argv, argv[1], like);
}
