#include "bench/zantor_bench_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <functional>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "app/station_grid.h"
#include "app/station_list_model.h"
#include "bench/zantor_bench_timing.h"
#include "widgets/file_dialog.h"

namespace {

[[noreturn]] void give_up(const char* what)
{
    std::fprintf(stderr, "zantor_bench: %s\n", what);
    std::exit(1);
}

// Runs `answer` on the next modal window as soon as it is shown. Polling
// with zero-delay timers adds no waiting of its own to what is measured.
void when_modal_shown(std::function<void(QWidget*)> answer, int polls_left = 100000)
{
    QTimer::singleShot(0, [answer, polls_left] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && modal->isVisible()) {
            answer(modal);
        } else if (polls_left > 0) {
            when_modal_shown(answer, polls_left - 1);
        } else {
            give_up("no dialog appeared");
        }
    });
}

}  // namespace

BenchEditor::BenchEditor()
{
    main_window.show();
    main_window.PageControl1->setCurrentWidget(main_window.TabSheet2);
    settle();
}

void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

void idle(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
    settle();
}

namespace {

// File, Open with `file` typed into the dialog, up to the event loop idle
// again; the moment the dialog was confirmed.
double open_through_the_dialog(TFmain& window, const QString& file)
{
    double confirmed_at = 0.0;
    when_modal_shown([&confirmed_at, file](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        QLineEdit* name_edit = file_name_edit(dialog);
        if (dialog == nullptr || name_edit == nullptr) {
            give_up("the Open command showed no file dialog");
        }
        name_edit->setText(file);
        confirmed_at = now_seconds();
        static_cast<QDialog*>(dialog)->accept();  // QFileDialog checks the name, as for Return
    });
    window.Open1Click();
    settle();
    return confirmed_at;
}

}  // namespace

double open_seconds(TFmain& window, const QString& file)
{
    window.modified = false;
    window.New1Click();
    settle();

    const double confirmed_at = open_through_the_dialog(window, file);
    const double seconds = now_seconds() - confirmed_at;
    if (window.current_file() != file || window.station_list->rowCount() == 0) {
        give_up("the Open command did not load the fleet");
    }
    return seconds;
}

namespace {

// Notes the first paint of the station list once its rows were rebuilt.
class ListPaintWatch : public QObject {
public:
    explicit ListPaintWatch(TFmain& window) : list(window.StringGrid_stations->viewport())
    {
        connect(window.station_list, &QAbstractItemModel::modelReset, this, [this] { rebuilt = true; });
        list->installEventFilter(this);
    }
    ~ListPaintWatch() override { list->removeEventFilter(this); }

    double painted_at = 0.0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == list && event->type() == QEvent::Paint && rebuilt && painted_at == 0.0) {
            painted_at = now_seconds();
        }
        return false;
    }

private:
    QWidget* list;
    bool rebuilt = false;
};

}  // namespace

double reopen_seconds(TFmain& window, const QString& file)
{
    window.modified = false;
    settle();
    ListPaintWatch watch(window);
    const double confirmed_at = open_through_the_dialog(window, file);
    if (window.current_file() != file || window.station_list->rowCount() == 0 || watch.painted_at == 0.0) {
        give_up("the Open command did not load and show the fleet");
    }
    return watch.painted_at - confirmed_at;
}

double loader_seconds(const QString& file)
{
    double seconds = 0.0;
    {
        myXMLdocument document(nullptr);
        const double start = now_seconds();
        const bool loaded = document.load_file(QFile::encodeName(file).constData()) != nullptr;
        seconds = now_seconds() - start;
        if (!loaded) {
            give_up("the editor's loader could not load the fleet");
        }
    }
    // The pages of the freed document go back to the system, as the Open's
    // do: otherwise the next Open, measured by turns with this, would find
    // them still mapped and skip the cost of faulting them in.
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
    return seconds;
}

OpenWindowFigures measure_open_window(TFmain& window, const QString& file, int runs)
{
    OpenWindowFigures figures;
    reopen_seconds(window, file);
    loader_seconds(file);
    medians_by_turns(
        runs, [&] { return reopen_seconds(window, file); }, [&] { return loader_seconds(file); }, figures.open_window,
        figures.loader);
    return figures;
}

double bare_load_seconds(const QString& file)
{
    TiXmlDocument document;
    const double start = now_seconds();
    // The single-byte mode the editor parses in: the default mode decodes
    // UTF-8 and is slower.
    const bool loaded = document.LoadFile(QFile::encodeName(file).constData(), TIXML_ENCODING_LEGACY);
    const double seconds = now_seconds() - start;
    if (!loaded) {
        give_up("TinyXML could not load the fleet");
    }
    return seconds;
}

double save_seconds(TFmain& window)
{
    window.modified = true;
    const double start = now_seconds();
    window.Save1Click();
    const double seconds = now_seconds() - start;
    if (window.modified) {
        give_up("the Save command failed");
    }
    return seconds;
}

double bare_save_seconds(TFmain& window, const QString& file)
{
    const double start = now_seconds();
    const bool saved = window.setup_doc.doc->SaveFile(QFile::encodeName(file).constData());
    const double seconds = now_seconds() - start;
    if (!saved) {
        give_up("TinyXML could not save the fleet");
    }
    return seconds;
}

double edit_seconds(TFmain& window)
{
    const int last_row = window.station_list->rowCount() - 1;
    window.StringGrid_stations->selectRow(last_row);
    window.modified = false;
    settle();

    when_modal_shown([](QWidget* modal) {
        if (modal != Fedit) {
            give_up("Edit Selected did not open the station dialog");
        }
        Fedit->Button1->click();
    });
    const double start = now_seconds();
    window.Button7->click();
    settle();
    const double seconds = now_seconds() - start;
    if (!window.modified) {
        give_up("the station dialog did not store the station");
    }
    return seconds;
}
