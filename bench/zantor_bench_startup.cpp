#include "bench/zantor_bench_startup.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cstdio>
#include <memory>

#include "app/main.h"
#include "bench/zantor_bench_timing.h"
#include "bench/zantor_bench_window.h"
#include "widgets/classic_look.h"

namespace {

std::unique_ptr<QMainWindow> plain_window(const WindowContent& like)
{
    auto window = std::make_unique<QMainWindow>();
    auto* pages = new QTabWidget;
    QVBoxLayout* layouts[3];
    for (int page = 0; page < 3; ++page) {
        auto* widget = new QWidget;
        layouts[page] = new QVBoxLayout(widget);
        pages->addTab(widget, QStringLiteral("Page %1").arg(page + 1));
    }
    for (int i = 0; i < like.labels; ++i) {
        layouts[i % 3]->addWidget(new QLabel(QStringLiteral("Path to a directory of the stations' data")));
    }
    for (int i = 0; i < like.edits; ++i) {
        layouts[i % 3]->addWidget(new QLineEdit(QStringLiteral("c:\\kestrane\\data_bin")));
    }
    for (int i = 0; i < like.buttons; ++i) {
        layouts[i % 3]->addWidget(new QPushButton(QStringLiteral("Browse...")));
    }
    window->setCentralWidget(pages);
    return window;
}

}  // namespace

int run_startup(int argc, char** argv, const std::string& mode, const WindowContent& like)
{
    QApplication app(argc, argv);
    apply_classic_look(app);
    std::unique_ptr<QMainWindow> window;
    if (mode == "editor-startup") {
        window = std::make_unique<TFmain>();
    } else {
        window = plain_window(like);
    }
    window->show();
    settle();
    std::printf("painted %.9f\n", now_seconds());
    std::fflush(stdout);
    return 0;
}
