// Measures that need a fresh process each: resident memory (one measure must
// not inherit another's heap) and start-up (nothing loaded or cached yet by
// an earlier window). The benchmark runs itself again as a child for them.
#ifndef ZANTOR_BENCH_CHILDREN_H
#define ZANTOR_BENCH_CHILDREN_H

#include <QString>

#include "bench/zantor_bench_resident.h"

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

// Start-up figures of one fresh process of this program each: `window` is
// from before the application object to the first window painted, measured
// inside the process; `launch` adds the launch (fork, exec, loading the
// libraries), from the benchmark's side. The monotonic clock is shared by
// all processes of the machine, so the two can be compared.
struct StartupSeconds {
    double window = 0.0;
    double launch = 0.0;
};
enum class StartupWindow { editor, bare, labelled };
StartupSeconds startup_seconds(StartupWindow window);

// The main window and a bare QMainWindow, each constructed, shown and
// painted by turns in one process after a first round that pays the
// process's one-time costs for both: medians of each.
struct SameProcessStartup {
    double editor = 0.0;
    double bare = 0.0;
};
SameProcessStartup same_process_startup_seconds();

#endif
