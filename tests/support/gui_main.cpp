// Entry point of the window tests: one QApplication for the whole binary.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "widgets/classic_look.h"

namespace {

QtMessageHandler qt_handler = nullptr;

// Qt's fatal errors (no platform plugin, say) end the test at once with
// their message: on Windows Qt would otherwise end it through the system's
// crash handling, which may wait on a dialog until the test's time-out.
void fail_fast_on_fatal(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtFatalMsg) {
        qt_handler(type, context, message);
        return;
    }
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    std::fflush(stderr);
    std::_Exit(EXIT_FAILURE);
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
#ifdef ZANTOR_TEST_FONT_DIR
    qputenv("QT_QPA_FONTDIR", ZANTOR_TEST_FONT_DIR);
#endif
    qt_handler = qInstallMessageHandler(fail_fast_on_fatal);
    QApplication app(argc, argv);
    apply_classic_look(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
