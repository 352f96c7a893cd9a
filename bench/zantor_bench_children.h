// Measures that need a fresh process each: resident memory (one measure must
// not inherit another's heap) and start-up (nothing loaded or cached yet by
// an earlier window). The benchmark runs itself again as a child for them.
#ifndef ZANTOR_BENCH_CHILDREN_H
#define ZANTOR_BENCH_CHILDREN_H

#include <QString>

#include "bench/zantor_bench_resident.h"
#include "bench/zantor_bench_startup.h"
#include "bench/zantor_bench_window.h"

// True when the arguments ask for a child mode; the mode has then run and
// `exit_code` is the child's exit code.
bool run_child_mode(int argc, char** argv, int& exit_code);

// The editor started as the entry point starts it, then `file` opened
// through the File menu: its peak, and what it holds once the list shows.
ResidentMemory editor_memory(const QString& file);

// TinyXML alone loading `file`, in a process that links nothing else.
ResidentMemory bare_document_memory(const QString& file);

// What the editor holds after its first and after its tenth Save of `file`,
// which it opens and then overwrites ten times.
struct SaveMemory {
    long after_first_kib = 0;
    long after_tenth_kib = 0;
};
SaveMemory editor_save_memory(const QString& file);

// What the editor holds after its first and after its fifth Open of
// `file`, each Open over the document of the one before.
struct ReopenMemory {
    long after_first_kib = 0;
    long after_fifth_kib = 0;
};
ReopenMemory editor_reopen_memory(const QString& file);

// Start-up of one fresh process of this program: from the launch (fork,
// exec, loading the libraries) to the first window painted, measured from
// the benchmark's side. The floor is a plain QMainWindow built the usual way,
// with a tab widget of three pages holding as many labels, edits and buttons
// as the main window has (`like` gives the counts).
double editor_startup_seconds();
double plain_window_startup_seconds(const WindowContent& like);

// The same for the Windows editor under Wine: `program` is the Windows
// start-up program (zantor_bench_windows_startup.exe), run by wine64 on the
// display the benchmark has; the clock stops when it says it has painted.
double windows_editor_startup_seconds(const QString& program);
double windows_plain_window_startup_seconds(const QString& program, const WindowContent& like);

// The Windows editor's Open of `file` again under Wine, measured by
// measure_open_window in `program` (its "open-window" mode) over `runs`
// runs: the medians it reports.
OpenWindowFigures windows_open_window(const QString& program, const QString& file, int runs);

#endif
