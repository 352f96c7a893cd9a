// The File menu: New, Open, Save and Save As, with the current file name.
// A file that cannot be read or written is reported and changes nothing: the
// document, the file name and the modified flag stay as they were.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QStringList>
#include <memory>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "app/main.h"
#include "doc/file_lock.h"
#include "doc/file_state.h"
#include "doc/file_system.h"
#include "widgets/file_dialog.h"

namespace {

// The wait cursor while a file is read or written: loading or saving a
// fleet of thousands of stations takes seconds. The window is painted again
// before the work starts, so the file dialog that has just closed does not
// stay on screen meanwhile. Ends before any error box.
class BusyWindow {
public:
    explicit BusyWindow(QWidget* window)
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        // The dialog's area shows the window again only once the window
        // system has taken the dialog away: wait for that, then paint.
        QGuiApplication::sync();
        window->repaint();
        // The operator's keys and clicks wait for the work to end.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    ~BusyWindow() { QApplication::restoreOverrideCursor(); }

    BusyWindow(const BusyWindow&) = delete;
    BusyWindow& operator=(const BusyWindow&) = delete;
};

// A fleet's tree is millions of small blocks. Once one is freed, the C
// library keeps their pages for later use, and each Open of a large file
// left the editor holding the memory of two trees: the pages go back to the
// system instead.
void give_back_freed_memory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

// The file the operator confirmed, or an empty text when the dialog was
// cancelled. The dialog starts on the current name.
QString ask_for_file(QFileDialog* dialog, const QString& current_name)
{
    offer_file_name(dialog, current_name);
    return run_file_dialog(dialog);
}

}  // namespace

void TFmain::set_current_file(const QString& file_name)
{
    current_file_name = file_name;
    offer_file_name(SaveDialog1, file_name);
    lb_filename->setText(QDir::toNativeSeparators(file_name));
    offer_file_name(OpenDialog1, file_name);
}

void TFmain::show_file_error(const QString& action, const QString& file_name, const std::string& reason)
{
    QString text = QStringLiteral("Could not %1 the file\n%2").arg(action, QDir::toNativeSeparators(file_name));
    if (!reason.empty()) {
        text += QStringLiteral("\n\n") + QString::fromLocal8Bit(reason.c_str());
    }
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Zantor Editor"), text, QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("file_error"));
    box.exec();
}

bool TFmain::replace_other_version(const QString& file_name)
{
    QMessageBox question(QMessageBox::Warning, QStringLiteral("Zantor Editor"),
                         QStringLiteral("%1\n\nwas changed by another program since it was opened or saved here.\n\n"
                                        "Replace that version with this one?")
                             .arg(QDir::toNativeSeparators(file_name)),
                         QMessageBox::Yes | QMessageBox::No, this);
    question.setObjectName(QStringLiteral("file_changed_question"));
    question.setInformativeText(QStringLiteral("No keeps the other version: Save As can keep this one elsewhere."));
    question.setDefaultButton(QMessageBox::No);
    return question.exec() == QMessageBox::Yes;
}

bool TFmain::save_document(const QString& file_name)
{
    store_edits();
    const QByteArray name = QFile::encodeName(file_name);
    // No other writer of ours writes the file while this save reads,
    // checks and replaces it.
    FileLock lock;
    std::string reason;
    if (!lock.take(name.constData(), "Zantor Editor", 3000, reason)) {
        show_file_error(QStringLiteral("save"), file_name, reason);
        return false;
    }
    // Another program's version is only replaced when the operator says so;
    // a file gone is written again, and what is no file fails below.
    if (file_name == current_file_name && file_system::kind_of(name.constData()) == file_system::Kind::file &&
        changed_since(name.constData(), setup_doc.file_state()) && !replace_other_version(file_name)) {
        return false;
    }
    bool failed = false;
    {
        BusyWindow busy(this);
        // Every save leaves the whole tree in the log, so what was written
        // can be inspected afterwards.
        xml_dump(setup_doc.root, 0, -1);
        failed = setup_doc.save_file(name.constData());
    }
    if (failed) {
        show_file_error(QStringLiteral("save"), file_name, setup_doc.error_text());
        return false;
    }
    modified = false;
    return true;
}

void TFmain::New1Click()
{
    if (!confirm_continue()) {
        return;
    }
    // The root keeps its name, so New after opening a file with another root
    // gives that root again, filled with the default top level.
    setup_doc.clear();
    bind_elements();
    set_current_file(QString());
    show_document();
}

void TFmain::Open1Click()
{
    if (!confirm_continue()) {
        return;
    }
    const QString file_name = ask_for_file(open_dialog(), current_file_name);
    if (!file_name.isEmpty()) {
        open_file(file_name);
    }
}

bool TFmain::open_file(const QString& file_name)
{
    // Load into a document of its own first: a file that fails to load must
    // not cost the operator the document in the window.
    auto loaded = std::make_unique<myXMLdocument>(nullptr);
    {
        BusyWindow busy(this);
        if (loaded->load_file(QFile::encodeName(file_name).constData()) != nullptr) {
            setup_doc.take_over(*loaded);
            bind_elements();
            Save1->setEnabled(true);
            set_current_file(file_name);
            show_document();
            // The new list is on screen before the previous document, as
            // large as the new one, is taken apart.
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            repaint();
            loaded.reset();
            give_back_freed_memory();
            return true;
        }
    }
    offer_file_name(OpenDialog1, current_file_name);
    show_file_error(QStringLiteral("open"), file_name, loaded->error_text());
    return false;
}

void TFmain::open_from_command_line(const QStringList& arguments)
{
    if (arguments.size() > 1) {
        open_file(QFileInfo(arguments.at(1)).absoluteFilePath());
    }
}

void TFmain::Save1Click()
{
    // After New the document has no file yet, even when Save is enabled by
    // an earlier Open: ask for one instead of writing nowhere.
    if (current_file_name.isEmpty()) {
        SaveAs1Click();
        return;
    }
    save_document(current_file_name);
}

void TFmain::SaveAs1Click()
{
    const QString file_name = ask_for_file(save_dialog(), current_file_name);
    if (file_name.isEmpty() || !save_document(file_name)) {
        return;
    }
    set_current_file(file_name);
    Save1->setEnabled(true);
}
