// The editor's entry point: the main window, then the other windows hidden
// until they are needed, the settings file named on the command line, then
// the message loop. Usage: zantor_editor [SETTINGS_FILE]
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <exception>
#include <memory>

#include "app/about.h"
#include "app/main.h"
#include "app/pictures.h"
#include "sequence/acquisition_sequence.h"
#include "station/edit_nuxo1f.h"
#include "widgets/classic_look.h"

int main(int argc, char** argv)
{
    std::unique_ptr<QApplication> app;
    try {
        app = std::make_unique<QApplication>(argc, argv);
        QApplication::setApplicationName(QStringLiteral("Zantor Editor"));
        apply_classic_look(*app);
        QApplication::setWindowIcon(program_icon());

        // Each window sets its global reference (Fmain, Fedit, Fabout,
        // Facquisition_sequence) as it is built; the three dialogs stay
        // hidden. Each dialog is owned by the window it opens from: no
        // task-bar button of its own, always in front of its owner.
        TFmain main_window;
        TFedit station_dialog(&main_window);
        TFabout about_box(&main_window);
        TFacquisition_sequence sequence_dialog(&station_dialog);
        main_window.show();
        // The file named on the command line, once the window is up.
        const QStringList arguments = QCoreApplication::arguments();
        QTimer::singleShot(0, &main_window,
                           [&main_window, arguments] { main_window.open_from_command_line(arguments); });
        app->exec();
    } catch (const std::exception& error) {
        if (app != nullptr) {
            QMessageBox::critical(nullptr, QStringLiteral("Zantor Editor"), QString::fromLocal8Bit(error.what()));
        } else {
            std::fprintf(stderr, "Zantor Editor: %s\n", error.what());
        }
    }
    // The settings file is only ever written by Save and Save As, so every
    // way out ends the same.
    return 0;
}
