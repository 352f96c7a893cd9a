// Entry point of the window tests: one QApplication for the whole binary.
#include <gtest/gtest.h>

#include <QApplication>

#include "widgets/classic_look.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    apply_classic_look(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
