// The editor's benchmark: fleets of 100, 1,000 and 10,000 complete stations,
// each measure of the real windows beside a floor measured in the same run,
// then one line per ratio with its target. docs/benchmarks.md says what each
// floor is and holds the figures of one run.
#include <tinyxml.h>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "bench/zantor_bench_children.h"
#include "bench/zantor_bench_fleet.h"
#include "bench/zantor_bench_timing.h"
#include "bench/zantor_bench_window.h"
#include "doc/Lib_xml.h"
#include "support/hostile_texts.h"
#include "support/station_fleet.h"
#include "widgets/classic_look.h"

namespace {

constexpr int fleet_sizes[] = {100, 1000, 10000};
const int runs_per_measure = 5;

struct Fleet {
    int stations = 0;
    QString file;
    qint64 bytes = 0;
};

struct Figures {
    double open = 0, open_floor = 0;
    double open_window = 0, open_window_floor = 0;
    double save = 0, save_floor = 0;
    double edit = 0;
    long peak_kib = 0, document_kib = 0;
    SaveMemory saves;
    ReopenMemory reopens;
};

struct StartupFigures {
    double editor = 0, plain = 0;
};

struct WorstLoadFigures {
    qint64 bytes = 0;
    double open = 0, open_floor = 0;
};

// Qt's notes about the offscreen platform (no runtime directory, no size
// hints) would bury the figures; only real errors are shown.
void quiet_messages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
    }
}

// The value of the first line of `file` that starts with `key`.
std::string line_value(const char* file, const std::string& key)
{
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, key.size(), key) == 0) {
            std::string value = line.substr(key.size());
            const size_t start = value.find_first_not_of(" \t:=\"");
            const size_t end = value.find_last_not_of(" \t\"");
            return start == std::string::npos ? std::string() : value.substr(start, end - start + 1);
        }
    }
    return "unknown";
}

void print_machine()
{
    std::printf("machine: %s, %d cores, %s RAM, %s\n", line_value("/proc/cpuinfo", "model name").c_str(),
                QThread::idealThreadCount(), line_value("/proc/meminfo", "MemTotal").c_str(),
                line_value("/etc/os-release", "PRETTY_NAME").c_str());
    std::printf("built with: g++ %s, Qt %s, TinyXML %d.%d.%d\n", __VERSION__, qVersion(), TIXML_MAJOR_VERSION,
                TIXML_MINOR_VERSION, TIXML_PATCH_VERSION);
}

Fleet write_fleet(const QTemporaryDir& dir, int stations)
{
    Fleet fleet;
    fleet.stations = stations;
    fleet.file = dir.filePath(QStringLiteral("fleet_%1.xml").arg(stations));
    myXMLdocument document("SETUP");
    build_fleet(document, stations);
    if (document.save_file(QFile::encodeName(fleet.file).constData())) {
        std::fprintf(stderr, "zantor_bench: cannot write %s\n", qPrintable(fleet.file));
        std::exit(1);
    }
    fleet.bytes = QFileInfo(fleet.file).size();
    return fleet;
}

// Medians of a measure and its floor over this benchmark's runs, by turns.
void medians_side_by_side(const std::function<double()>& measure, const std::function<double()>& floor,
                          double& measure_median, double& floor_median)
{
    medians_by_turns(runs_per_measure, measure, floor, measure_median, floor_median);
}

Figures measure_times(BenchEditor& editor, const Fleet& fleet, const QTemporaryDir& dir)
{
    TFmain& window = editor.main_window;
    Figures figures;
    const QString bare_copy = dir.filePath(QStringLiteral("bare_save.xml"));
    // One unmeasured round first, so that every measured run finds the file
    // in the page cache and every code path warm.
    open_seconds(window, fleet.file);
    bare_load_seconds(fleet.file);
    medians_side_by_side([&] { return open_seconds(window, fleet.file); },
                         [&] { return bare_load_seconds(fleet.file); }, figures.open, figures.open_floor);
    // Open again over the open fleet, as an operator does, against the
    // editor's loader alone.
    const OpenWindowFigures again = measure_open_window(window, fleet.file, runs_per_measure);
    figures.open_window = again.open_window;
    figures.open_window_floor = again.loader;
    // Save writes the opened fleet file over itself, with the same content.
    save_seconds(window);
    bare_save_seconds(window, bare_copy);
    medians_side_by_side([&] { return save_seconds(window); }, [&] { return bare_save_seconds(window, bare_copy); },
                         figures.save, figures.save_floor);
    QFile::remove(bare_copy);
    idle(500);
    edit_seconds(window);
    figures.edit = median_of_runs(runs_per_measure, [&] { return edit_seconds(window); });
    return figures;
}

void measure_memory(const Fleet& fleet, const QTemporaryDir& dir, Figures& figures)
{
    const QString saved_copy = dir.filePath(QStringLiteral("saved_fleet.xml"));
    std::vector<double> peaks, documents, firsts, tenths, first_opens, fifth_opens;
    for (int run = 0; run < runs_per_measure; ++run) {
        peaks.push_back(static_cast<double>(editor_memory(fleet.file).peak_kib));
        documents.push_back(static_cast<double>(bare_document_memory(fleet.file).current_kib));
        QFile::remove(saved_copy);
        QFile::copy(fleet.file, saved_copy);
        const SaveMemory saves = editor_save_memory(saved_copy);
        firsts.push_back(static_cast<double>(saves.after_first_kib));
        tenths.push_back(static_cast<double>(saves.after_tenth_kib));
        const ReopenMemory reopens = editor_reopen_memory(fleet.file);
        first_opens.push_back(static_cast<double>(reopens.after_first_kib));
        fifth_opens.push_back(static_cast<double>(reopens.after_fifth_kib));
    }
    QFile::remove(saved_copy);
    figures.peak_kib = static_cast<long>(median(peaks));
    figures.document_kib = static_cast<long>(median(documents));
    figures.saves.after_first_kib = static_cast<long>(median(firsts));
    figures.saves.after_tenth_kib = static_cast<long>(median(tenths));
    figures.reopens.after_first_kib = static_cast<long>(median(first_opens));
    figures.reopens.after_fifth_kib = static_cast<long>(median(fifth_opens));
}

// The counts of the main window's labels, edits and buttons, for the floor.
WindowContent main_window_content(const TFmain& window)
{
    WindowContent content;
    content.labels = static_cast<int>(window.findChildren<QLabel*>().size());
    content.edits = static_cast<int>(window.findChildren<QLineEdit*>().size());
    content.buttons = static_cast<int>(window.findChildren<QPushButton*>().size());
    return content;
}

StartupFigures measure_startup(const WindowContent& like)
{
    StartupFigures figures;
    medians_side_by_side(
        editor_startup_seconds, [&like] { return plain_window_startup_seconds(like); }, figures.editor, figures.plain);
    return figures;
}

// The Windows editor under Wine, when the benchmark is given its start-up
// program: one unmeasured round first, as Wine's first start in a fresh
// prefix sets up its fonts and registry.
StartupFigures measure_windows_startup(const QString& program, const WindowContent& like)
{
    StartupFigures figures;
    if (program.isEmpty()) {
        return figures;
    }
    windows_editor_startup_seconds(program);
    windows_plain_window_startup_seconds(program, like);
    medians_side_by_side([&] { return windows_editor_startup_seconds(program); },
                         [&] { return windows_plain_window_startup_seconds(program, like); }, figures.editor,
                         figures.plain);
    return figures;
}

// The Windows editor's Open of `fleet` again under Wine, when the benchmark
// is given the Windows program; 0 otherwise.
double measure_windows_open_window(const QString& program, const Fleet& fleet)
{
    return program.isEmpty() ? 0.0 : windows_open_window(program, fleet.file, runs_per_measure).open_window;
}

// The value of `--windows-startup PROGRAM`, or an empty text.
QString windows_startup_program(int argc, char** argv)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--windows-startup") == 0) {
            return QString::fromLocal8Bit(argv[i + 1]);
        }
    }
    return QString();
}

// The worst file found for the checks made before parsing: 20 MB of
// character references, opened through the File menu.
WorstLoadFigures measure_worst_load(BenchEditor& editor, const QTemporaryDir& dir)
{
    WorstLoadFigures figures;
    const QString file = dir.filePath(QStringLiteral("references.xml"));
    {
        std::ofstream out(QFile::encodeName(file).constData(), std::ios::binary);
        out << worst_reference_file(20u << 20);
    }
    figures.bytes = QFileInfo(file).size();
    open_seconds(editor.main_window, file);
    bare_load_seconds(file);
    medians_side_by_side([&] { return open_seconds(editor.main_window, file); },
                         [&] { return bare_load_seconds(file); }, figures.open, figures.open_floor);
    QFile::remove(file);
    return figures;
}

double ratio(double value, double floor)
{
    return floor > 0 ? value / floor : 0.0;
}

void print_time_row(const char* stations, const char* measure, double seconds, double floor_seconds,
                    const char* floor_name)
{
    std::printf("%8s  %-16s %10.2f ms  %10.2f ms  %-30s %6.2f\n", stations, measure, seconds * 1e3, floor_seconds * 1e3,
                floor_name, ratio(seconds, floor_seconds));
}

void print_memory_row(const char* stations, const char* measure, long kib, long floor_kib, const char* floor_name)
{
    std::printf("%8s  %-16s %10.1f MiB %10.1f MiB %-30s %6.2f\n", stations, measure, kib / 1024.0, floor_kib / 1024.0,
                floor_name, ratio(static_cast<double>(kib), static_cast<double>(floor_kib)));
}

void print_ratio(const char* name, double value, double target)
{
    std::printf("ratio %s %.2f target <= %.2f\n", name, value, target);
}

// A measure of the fleet tool beside its floor: its row of the table, and
// the name of its ratio, which should stay within `target`.
struct FleetComparison {
    const char* row;
    const char* ratio;
    double FleetToolFigures::*measure;
    double FleetToolFigures::*floor;
    const char* floor_name;
    double target;
};

using F = FleetToolFigures;
const FleetComparison fleet_comparisons[] = {
    {"fleet_check", "fleet_check", &F::check, &F::check_floor, "LoadFile, single-byte", 1.3},
    {"fleet_diff", "fleet_diff", &F::diff, &F::diff_floor, "two LoadFiles, single-byte", 1.3},
    {"fleet_apply", "fleet_apply", &F::apply, &F::apply_floor, "LoadFile and SaveFile", 1.5},
    {"fleet_import", "fleet_import", &F::import, &F::import_floor, "LoadFile and SaveFile", 1.5},
    {"fleet_check", "fleet_check_open", &F::check, &F::open, "Open, the editor's core", 1.5},
    {"fleet_list", "fleet_list_open", &F::list, &F::open, "Open, the editor's core", 1.5},
    {"fleet_diff", "fleet_diff_open", &F::diff, &F::two_opens, "two Opens, held together", 1.5},
    {"fleet_apply", "fleet_apply_open", &F::apply, &F::open_save, "Open and the editor's save", 1.5},
    {"fleet_import", "fleet_import_open", &F::import, &F::import_open_save, "Open and the editor's save", 1.5},
    {"list_xlsx", "fleet_list_xlsx", &F::list_xlsx, &F::list_csv, "list --csv", 2.0},
    {"import_xlsx", "fleet_import_xlsx", &F::import_xlsx, &F::import_csv, "import of the CSV", 2.0},
    {"import_3way", "fleet_import_3way", &F::import_3way, &F::import_keyed, "the same without listed values", 1.3},
};

void print_fleet_rows(const std::string& stations, const FleetToolFigures& fleet)
{
    const char* n = stations.c_str();
    for (const FleetComparison& c : fleet_comparisons) {
        print_time_row(n, c.row, fleet.*c.measure, fleet.*c.floor, c.floor_name);
    }
    print_memory_row(n, "fleet_diff", fleet.diff_kib, fleet.two_opens_kib, "two Opens, held together");
}

void print_fleet_ratios(const FleetToolFigures& fleet)
{
    for (const FleetComparison& c : fleet_comparisons) {
        print_ratio(c.ratio, ratio(fleet.*c.measure, fleet.*c.floor), c.target);
    }
    print_ratio("fleet_diff_memory",
                ratio(static_cast<double>(fleet.diff_kib), static_cast<double>(fleet.two_opens_kib)), 1.3);
}

// The fleet tool's lines of the table, then its ratios.
void print_fleet_tool(const std::string& stations, const FleetToolFigures& fleet)
{
    std::printf("\n%8s  %-16s %13s  %13s  %-30s %6s\n", "stations", "measure", "median", "floor", "floor is", "ratio");
    print_fleet_rows(stations, fleet);
    std::printf("\n");
    print_fleet_ratios(fleet);
}

}  // namespace

int main(int argc, char** argv)
{
    qInstallMessageHandler(quiet_messages);
    int child_exit_code = 0;
    if (run_child_mode(argc, argv, child_exit_code)) {
        return child_exit_code;
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QApplication app(argc, argv);
    apply_classic_look(app);
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "zantor_bench: no temporary directory\n");
        return 1;
    }

    std::printf("Zantor Editor benchmark: medians of %d runs, each beside its floor from the same run\n",
                runs_per_measure);
    print_machine();
    // --fleet: the fleet tool's lines alone, on the largest fleet, a few
    // minutes sooner while its code is being worked on.
    const bool fleet_only = argc > 1 && std::string(argv[1]) == "--fleet";
    std::vector<Fleet> fleets;
    for (int stations : fleet_sizes) {
        if (fleet_only && stations != fleet_sizes[std::size(fleet_sizes) - 1]) {
            continue;
        }
        fleets.push_back(write_fleet(dir, stations));
        std::printf("fleet of %5d stations: %.1f MB (%lld bytes per station)\n", stations, fleets.back().bytes / 1e6,
                    static_cast<long long>(fleets.back().bytes / stations));
    }

    auto measure_fleet = [&] {
        return measure_fleet_tool(QFile::encodeName(fleets.back().file).toStdString(),
                                  QFile::encodeName(dir.path()).toStdString(), runs_per_measure);
    };
    if (fleet_only) {
        print_fleet_tool(std::to_string(fleets.back().stations), measure_fleet());
        return 0;
    }

    std::vector<Figures> figures;
    WorstLoadFigures worst;
    WindowContent main_window;
    {
        BenchEditor editor;
        main_window = main_window_content(editor.main_window);
        for (const Fleet& fleet : fleets) {
            figures.push_back(measure_times(editor, fleet, dir));
        }
        worst = measure_worst_load(editor, dir);
    }
    const StartupFigures startup = measure_startup(main_window);
    const QString windows_program = windows_startup_program(argc, argv);
    const StartupFigures windows_startup = measure_windows_startup(windows_program, main_window);
    const double windows_open_window = measure_windows_open_window(windows_program, fleets.back());
    for (size_t i = 0; i < fleets.size(); ++i) {
        measure_memory(fleets[i], dir, figures[i]);
    }
    const FleetToolFigures fleet_tool = measure_fleet();

    std::printf("\n%8s  %-16s %13s  %13s  %-30s %6s\n", "stations", "measure", "median", "floor", "floor is", "ratio");
    for (size_t i = 0; i < fleets.size(); ++i) {
        const std::string n = std::to_string(fleets[i].stations);
        const Figures& f = figures[i];
        print_time_row(n.c_str(), "open", f.open, f.open_floor, "LoadFile, single-byte mode");
        print_time_row(n.c_str(), "open_window", f.open_window, f.open_window_floor, "the editor's loader alone");
        print_time_row(n.c_str(), "save", f.save, f.save_floor, "TiXmlDocument::SaveFile");
        print_time_row(n.c_str(), "edit", f.edit, figures.front().edit, "the same at 100 stations");
        print_memory_row(n.c_str(), "memory", f.peak_kib, f.document_kib, "TinyXML document alone");
        print_memory_row(n.c_str(), "memory_saves", f.saves.after_tenth_kib, f.saves.after_first_kib,
                         "after the first save");
        print_memory_row(n.c_str(), "memory_reopen", f.reopens.after_fifth_kib, f.reopens.after_first_kib,
                         "after the first Open");
    }
    print_time_row("20 MB", "load_worst", worst.open, worst.open_floor, "LoadFile, single-byte mode");
    print_time_row("-", "startup", startup.editor, startup.plain, "plain QMainWindow, like content");
    if (windows_startup.plain > 0) {
        print_time_row("-", "startup_wine", windows_startup.editor, windows_startup.plain,
                       "the same, Windows, under Wine");
        print_time_row(std::to_string(fleets.back().stations).c_str(), "open_window_wine", windows_open_window,
                       figures.back().open_window, "open_window, the Linux editor");
    }
    print_fleet_rows(std::to_string(fleets.back().stations), fleet_tool);
    std::printf("\n");

    // The targets hold for the largest fleet.
    const Figures& large = figures.back();
    print_ratio("open", ratio(large.open, large.open_floor), 1.10);
    print_ratio("open_window", ratio(large.open_window, large.open_window_floor), 1.3);
    print_ratio("save", ratio(large.save, large.save_floor), 1.5);
    print_ratio("edit", ratio(large.edit, figures.front().edit), 3.0);
    print_ratio("memory", ratio(large.peak_kib, large.document_kib), 1.3);
    print_ratio("memory_saves", ratio(large.saves.after_tenth_kib, large.saves.after_first_kib), 1.05);
    print_ratio("memory_reopen", ratio(large.reopens.after_fifth_kib, large.reopens.after_first_kib), 1.15);
    print_ratio("startup", ratio(startup.editor, startup.plain), 1.50);
    if (windows_startup.plain > 0) {
        print_ratio("startup_wine", ratio(windows_startup.editor, windows_startup.plain), 1.50);
        print_ratio("open_window_wine", ratio(windows_open_window, large.open_window), 2.0);
    }
    print_ratio("load_worst", ratio(worst.open, worst.open_floor), 1.50);
    print_fleet_ratios(fleet_tool);
    return 0;
}
