// The File menu: New, Open, Save and Save As, with the current file name.
// A file that cannot be read or written is reported and changes nothing: the
// document, the file name and the modified flag stay as they were.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>

#include "app/main.h"
#include "widgets/file_dialog.h"

namespace {

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

bool TFmain::save_document(const QString& file_name)
{
    store_edits();
    // Every save leaves the whole tree in the log, so what was written can
    // be inspected afterwards.
    xml_dump(setup_doc.root, 0, -1);
    if (setup_doc.save_file(QFile::encodeName(file_name).constData())) {
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
    if (file_name.isEmpty()) {
        return;
    }
    // Load into a document of its own first: a file that fails to load must
    // not cost the operator the document in the window.
    myXMLdocument loaded(nullptr);
    if (loaded.load_file(QFile::encodeName(file_name).constData()) == nullptr) {
        offer_file_name(OpenDialog1, current_file_name);
        show_file_error(QStringLiteral("open"), file_name, loaded.error_text());
        return;
    }
    setup_doc.take_over(loaded);
    bind_elements();
    Save1->setEnabled(true);
    set_current_file(file_name);
    show_document();
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
