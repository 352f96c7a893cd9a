// The main window's state: the settings document, the six elements it
// shows, the modified flag with its unsaved-changes question, and the hidden
// log that receives the document dump of every save.
#include "app/main.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>

#include "app/about.h"
#include "app/log_memo.h"
#include "doc/Lib_cpp.h"
#include "doc/top_level.h"

TFmain* Fmain = nullptr;

void log_append(const char* text)
{
    if (Fmain != nullptr && Fmain->Memo1 != nullptr) {
        Fmain->Memo1->append_entry(text);
    }
}

TFmain::TFmain(QWidget* parent) : QMainWindow(parent), setup_doc("SETUP")
{
    Fmain = this;
    setObjectName(QStringLiteral("Fmain"));
    build_controls();
    set_log_destination(log_append);

    watch_edits();

    Save1->setEnabled(false);
    modified = false;
    PageControl1->setCurrentWidget(TabSheet1);
    New1Click();
}

TFmain::~TFmain()
{
    if (Fmain == this) {
        set_log_destination(nullptr);
        Fmain = nullptr;
    }
}

void TFmain::edit_changed()
{
    modified = true;
}

void TFmain::bind_elements()
{
    const TopLevelElements top = bind_top_level(setup_doc);
    node_path_bin = top.path_bin;
    node_path_xml = top.path_xml;
    node_path_log = top.path_log;
    node_com_direct = top.com_direct;
    node_com_modem = top.com_modem;
    node_stations = top.stations;
}

void TFmain::show_document()
{
    fill_station_list();
    show_edits();
}

bool TFmain::confirm_continue()
{
    if (!modified) {
        return true;
    }
    QMessageBox question(QMessageBox::Warning, QStringLiteral("Avertissement"),
                         QString::fromUtf8("Fichier courant modifié et non enregistré ! Continuer tout de même ?"),
                         QMessageBox::NoButton, this);
    question.setObjectName(QStringLiteral("unsaved_changes_question"));
    QPushButton* ok = question.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    QPushButton* cancel = question.addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole);
    question.setDefaultButton(ok);
    // Escape and the close box answer "Annuler".
    question.setEscapeButton(cancel);
    question.exec();
    return question.clickedButton() == ok;
}

void TFmain::FormClose(QCloseEvent* event)
{
    // Nothing is written on exit: changes reach a file only through Save.
    if (confirm_continue()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void TFmain::AboutKestrane1Click()
{
    show_about();
}
