#include "bench/zantor_bench_children.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "app/main.h"
#include "bench/zantor_bench_startup.h"
#include "bench/zantor_bench_timing.h"
#include "bench/zantor_bench_window.h"
#include "widgets/classic_look.h"

namespace {

const char* const child_flag = "--child";

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
    if (mode == "reopen-memory") {
        idle(200);
        const long after_first = resident_memory().current_kib;
        for (int open = 2; open <= 5; ++open) {
            reopen_seconds(editor.main_window, file);
            idle(200);
        }
        std::printf("reopens %ld %ld\n", after_first, resident_memory().current_kib);
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
    if (mode == "open-memory" || mode == "save-memory" || mode == "reopen-memory") {
        exit_code = argc == 4 ? run_editor_child(argc, argv, mode, QString::fromLocal8Bit(argv[3])) : 2;
    } else {
        WindowContent like;
        like.labels = argc > 3 ? std::atoi(argv[3]) : 0;
        like.edits = argc > 4 ? std::atoi(argv[4]) : 0;
        like.buttons = argc > 5 ? std::atoi(argv[5]) : 0;
        exit_code = run_startup(argc, argv, mode, like);
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

namespace {

// The memory, in KiB, a child running `command` on `file` reports on its
// `label` line: after the first and after the last of its repeats.
std::pair<long, long> first_and_last_kib(const QString& command, const QString& file, const QString& label)
{
    const QStringList fields = self_result({command, file}, label);
    return {fields.value(0).toLong(), fields.value(1).toLong()};
}

}  // namespace

SaveMemory editor_save_memory(const QString& file)
{
    const auto kib = first_and_last_kib(QStringLiteral("save-memory"), file, QStringLiteral("saves"));
    return {kib.first, kib.second};
}

ReopenMemory editor_reopen_memory(const QString& file)
{
    const auto kib = first_and_last_kib(QStringLiteral("reopen-memory"), file, QStringLiteral("reopens"));
    return {kib.first, kib.second};
}

namespace {

double startup_seconds(const QStringList& arguments)
{
    const double launched = now_seconds();
    const QStringList fields = self_result(arguments, QStringLiteral("painted"));
    return fields.value(0).toDouble() - launched;
}

}  // namespace

double editor_startup_seconds()
{
    return startup_seconds({QStringLiteral("editor-startup")});
}

double plain_window_startup_seconds(const WindowContent& like)
{
    return startup_seconds({QStringLiteral("plain-startup"), QString::number(like.labels), QString::number(like.edits),
                            QString::number(like.buttons)});
}

double windows_startup_seconds(const QString& program, const QStringList& arguments)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const double launched = now_seconds();
    child.start(QStringLiteral("/usr/lib/wine/wine64"), QStringList{program} + arguments);
    double painted = 0;
    QByteArray output;
    while (painted == 0 && child.waitForReadyRead(-1)) {
        output += child.readAllStandardOutput();
        if (output.contains("painted")) {
            painted = now_seconds();
        }
    }
    if (!child.waitForFinished(-1) || painted == 0) {
        std::fprintf(stderr, "zantor_bench: %s %s painted no window\n", qPrintable(program),
                     qPrintable(arguments.join(' ')));
        std::exit(1);
    }
    return painted - launched;
}

double windows_editor_startup_seconds(const QString& program)
{
    return windows_startup_seconds(program, {QStringLiteral("editor-startup")});
}

double windows_plain_window_startup_seconds(const QString& program, const WindowContent& like)
{
    return windows_startup_seconds(program, {QStringLiteral("plain-startup"), QString::number(like.labels),
                                             QString::number(like.edits), QString::number(like.buttons)});
}

OpenWindowFigures windows_open_window(const QString& program, const QString& file, int runs)
{
    // Wine's prefix maps the root of the Linux file system to drive Z:.
    const QString windows_file = QStringLiteral("Z:") + QFileInfo(file).absoluteFilePath();
    const QStringList fields = child_result(
        QStringLiteral("/usr/lib/wine/wine64"),
        {program, QStringLiteral("open-window"), windows_file, QString::number(runs)}, QStringLiteral("open_window"));
    OpenWindowFigures figures;
    figures.open_window = fields.value(0).toDouble();
    figures.loader = fields.value(1).toDouble();
    return figures;
}
