// The editor's real windows driven the way an operator drives them: Open
// through the File menu's handler and Qt's own file dialog, Save through
// Save, Edit through "Edit Selected" and the station dialog's OK button.
// The dialogs are answered from the event loop, as soon as they show.
#ifndef ZANTOR_BENCH_WINDOW_H
#define ZANTOR_BENCH_WINDOW_H

#include <QString>

#include "app/about.h"
#include "app/main.h"
#include "sequence/acquisition_sequence.h"
#include "station/edit_nuxo1f.h"

// The four windows that the editor's start-up creates, in the same order;
// the main window is shown on its station list.
struct BenchEditor {
    TFmain main_window;
    TFedit station_dialog;
    TFabout about_box;
    TFacquisition_sequence sequence_dialog;

    BenchEditor();
};

// Lets the event loop lay out and paint what the last command changed.
void settle();
// Runs the event loop for `milliseconds`, as the time an operator takes
// between two commands: work that Qt does in the background meanwhile (the
// file dialogs' folder views follow every file a save writes into their
// folder) is then not counted in the next command.
void idle(int milliseconds);

// Seconds of one Open of `file`, from the moment the file dialog is
// confirmed to the moment the station list is painted. The window is first
// given a new document (not measured), so no old tree is destroyed in the
// measured part. Aborts the program when the file does not open.
double open_seconds(TFmain& window, const QString& file);
// Seconds of one Open of `file` by a window that already shows it, as an
// operator opens the fleet again: from the moment the file dialog is
// confirmed to the first paint of the new list. The previous document is
// taken apart within the Open, but after that paint.
double reopen_seconds(TFmain& window, const QString& file);
// Seconds of the editor's own loader (myXMLdocument::load_file) reading
// `file` into a new document.
double loader_seconds(const QString& file);

// Open of `file` again by the window, as reopen_seconds measures it, beside
// the editor's loader alone: one unmeasured round of each first, so that
// the file is in the page cache and the code paths are warm, then `runs` of
// each by turns. Medians in seconds. The Linux benchmark and the Windows
// program it runs under Wine measure the Open again through this one road.
struct OpenWindowFigures {
    double open_window = 0;
    double loader = 0;
};
OpenWindowFigures measure_open_window(TFmain& window, const QString& file, int runs);

// Seconds of a bare TiXmlDocument::LoadFile of `file` into a new document.
double bare_load_seconds(const QString& file);

// Seconds of one Save of the open document into its own file.
double save_seconds(TFmain& window);
// Seconds of a bare TiXmlDocument::SaveFile of the window's document tree.
double bare_save_seconds(TFmain& window, const QString& file);

// Seconds of one "Edit Selected" on the last station of the list, with the
// station dialog confirmed at once, up to the refreshed list being painted.
double edit_seconds(TFmain& window);

#endif
