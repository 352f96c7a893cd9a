// The editor's entry point: the main window, then the other windows hidden
// until they are needed, then the message loop.
#include <QApplication>
#include <QMessageBox>
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
        // Facquisition_sequence) as it is built; the three dialogs stay hidden.
        TFmain main_window;
        TFedit station_dialog;
        TFabout about_box;
        TFacquisition_sequence sequence_dialog;
        main_window.show();
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
