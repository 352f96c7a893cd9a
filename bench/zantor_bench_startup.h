// Start-up of one window in a fresh process, for the start-up measures: the
// editor's main window, or a plain QMainWindow of like content built the
// usual way with layouts. Shared by the Linux benchmark's child mode and
// the Windows start-up program run under Wine.
#ifndef ZANTOR_BENCH_STARTUP_H
#define ZANTOR_BENCH_STARTUP_H

#include <string>

// How many labels, edits and buttons the plain window holds: as many as the
// main window has, spread over a tab widget of three pages.
struct WindowContent {
    int labels = 0;
    int edits = 0;
    int buttons = 0;
};

// Creates the application with the editor's look, then shows the main
// window ("editor-startup") or the plain one (any other mode) and lets it
// paint; prints "painted" with the moment on the monotonic clock. Returns
// the exit code.
int run_startup(int argc, char** argv, const std::string& mode, const WindowContent& like);

#endif
