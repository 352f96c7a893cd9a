#include "bench/zantor_bench_children.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QMainWindow>
#include <QProcess>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/main.h"
#include "bench/zantor_bench_timing.h"
#include "bench/zantor_bench_window.h"
#include "widgets/classic_look.h"

namespace {

const char* const child_flag = "--child";
// Measured rounds of the same-process start-up, after one unmeasured round.
const int startup_rounds = 7;

// Runs `program` with `arguments` and returns the numbers of its output
// line that starts with `tag`; aborts the benchmark when there is none.
QStringList child_result(const QString& program, const QStringList& arguments, const QString& tag)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(program, arguments);
    if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        std::fprintf(stderr, "zantor_bench: child %s %s failed\n", qPrintable(program),
                     qPrintable(arguments.join(' ')));
        std::exit(1);
    }
    const QStringList lines = QString::fromLocal8Bit(child.readAllStandardOutput()).split('\n');
    for (const QString& line : lines) {
        QStringList fields = line.simplified().split(' ');
        if (fields.size() > 1 && fields.first() == tag) {
            fields.removeFirst();
            return fields;
        }
    }
    std::fprintf(stderr, "zantor_bench: child %s gave no '%s' line\n", qPrintable(arguments.join(' ')),
                 qPrintable(tag));
    std::exit(1);
}

QStringList self_result(const QStringList& arguments, const QString& tag)
{
    return child_result(QCoreApplication::applicationFilePath(), QStringList{child_flag} + arguments, tag);
}

ResidentMemory resident_from(const QStringList& fields)
{
    ResidentMemory memory;
    memory.peak_kib = fields.value(0).toLong();
    memory.current_kib = fields.value(1).toLong();
    return memory;
}

void print_resident(const ResidentMemory& memory)
{
    std::printf("resident %ld %ld\n", memory.peak_kib, memory.current_kib);
}

// Start-up as the entry point does it: the application with the editor's
// look, then one window shown and painted. Measured from before the
// application object, so that what any Qt program pays is in every figure.
int run_startup_child(int argc, char** argv, const std::string& mode)
{
    const double start = now_seconds();
    QApplication app(argc, argv);
    apply_classic_look(app);
    std::unique_ptr<QMainWindow> window;
    if (mode == "editor-startup") {
        window = std::make_unique<TFmain>();
    } else {
        window = std::make_unique<QMainWindow>();
        if (mode == "labelled-startup") {
            // The first text a window lays out loads the font database.
            new QLabel(QStringLiteral("COM port for direct (cable) connection"), window.get());
        }
    }
    window->show();
    settle();
    const double end = now_seconds();
    std::printf("startup %.9f %.9f\n", end - start, end);
    return 0;
}

// Start-up with what every Qt program pays shared: one process, one
// application with the editor's look, then the main window and a bare
// QMainWindow constructed, shown and painted by turns. A first unmeasured
// round pays what the first window of a process pays (the font database,
// the style's caches) for both.
int run_same_process_startup_child(int argc, char** argv)
{
    QApplication app(argc, argv);
    apply_classic_look(app);
    auto shown_seconds = [](bool editor) {
        const double start = now_seconds();
        std::unique_ptr<QMainWindow> window;
        if (editor) {
            window = std::make_unique<TFmain>();
        } else {
            window = std::make_unique<QMainWindow>();
        }
        window->show();
        settle();
        const double seconds = now_seconds() - start;
        window.reset();
        settle();
        return seconds;
    };
    shown_seconds(true);
    shown_seconds(false);
    std::vector<double> editor, bare;
    for (int run = 0; run < startup_rounds; ++run) {
        editor.push_back(shown_seconds(true));
        bare.push_back(shown_seconds(false));
    }
    std::printf("startup_pair %.9f %.9f\n", median(editor), median(bare));
    return 0;
}

// The editor's four windows in a new application, then `file` opened
// through the File menu.
int run_editor_child(int argc, char** argv, const std::string& mode, const QString& file)
{
    QApplication app(argc, argv);
    apply_classic_look(app);
    BenchEditor editor;
    open_seconds(editor.main_window, file);
    if (mode == "open-memory") {
        print_resident(resident_memory());
        return 0;
    }
    save_seconds(editor.main_window);
    const long after_first = resident_memory().current_kib;
    for (int save = 2; save <= 10; ++save) {
        save_seconds(editor.main_window);
    }
    std::printf("saves %ld %ld\n", after_first, resident_memory().current_kib);
    return 0;
}

}  // namespace

bool run_child_mode(int argc, char** argv, int& exit_code)
{
    if (argc < 3 || std::strcmp(argv[1], child_flag) != 0) {
        return false;
    }
    const std::string mode = argv[2];
    if (mode == "open-memory" || mode == "save-memory") {
        exit_code = argc == 4 ? run_editor_child(argc, argv, mode, QString::fromLocal8Bit(argv[3])) : 2;
    } else if (mode == "same-process-startup") {
        exit_code = run_same_process_startup_child(argc, argv);
    } else {
        exit_code = run_startup_child(argc, argv, mode);
    }
    return true;
}

ResidentMemory editor_memory(const QString& file)
{
    return resident_from(self_result({QStringLiteral("open-memory"), file}, QStringLiteral("resident")));
}

ResidentMemory bare_document_memory(const QString& file)
{
    const QString floor_program = QCoreApplication::applicationDirPath() + QStringLiteral("/zantor_bench_floor");
    return resident_from(child_result(floor_program, {file}, QStringLiteral("resident")));
}

SaveMemory editor_save_memory(const QString& file)
{
    const QStringList fields = self_result({QStringLiteral("save-memory"), file}, QStringLiteral("saves"));
    SaveMemory memory;
    memory.after_first_kib = fields.value(0).toLong();
    memory.after_tenth_kib = fields.value(1).toLong();
    return memory;
}

SameProcessStartup same_process_startup_seconds()
{
    const QStringList fields = self_result({QStringLiteral("same-process-startup")}, QStringLiteral("startup_pair"));
    SameProcessStartup seconds;
    seconds.editor = fields.value(0).toDouble();
    seconds.bare = fields.value(1).toDouble();
    return seconds;
}

StartupSeconds startup_seconds(StartupWindow window)
{
    const QString mode = window == StartupWindow::editor ? QStringLiteral("editor-startup")
                         : window == StartupWindow::bare ? QStringLiteral("bare-startup")
                                                         : QStringLiteral("labelled-startup");
    const double launched = now_seconds();
    const QStringList fields = self_result({mode}, QStringLiteral("startup"));
    StartupSeconds seconds;
    seconds.window = fields.value(0).toDouble();
    seconds.launch = fields.value(1).toDouble() - launched;
    return seconds;
}
