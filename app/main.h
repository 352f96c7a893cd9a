// The editor's main window: the settings document of the whole run, shown on
// three tabs (the PC's COM ports, the list of NUXO stations, the data
// directories), with the File menu that reads and writes the settings file.
#ifndef ZANTOR_APP_MAIN_H
#define ZANTOR_APP_MAIN_H

#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <string>

#include "doc/Lib_xml.h"

class QAction;
class QCloseEvent;
class QFileDialog;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabWidget;
class QWidget;
class LogMemo;
class StationGrid;
class StationListModel;

class TFmain : public QMainWindow {
    Q_OBJECT

public:
    explicit TFmain(QWidget* parent = nullptr);
    ~TFmain() override;

    // The settings document and the six elements the window shows; the
    // references are borrowed from the document and taken again after New
    // and Open.
    myXMLdocument setup_doc;
    TiXmlElement* node_path_bin = nullptr;
    TiXmlElement* node_path_xml = nullptr;
    TiXmlElement* node_path_log = nullptr;
    TiXmlElement* node_com_direct = nullptr;
    TiXmlElement* node_com_modem = nullptr;
    TiXmlElement* node_stations = nullptr;
    // The document holds changes that no file has received yet.
    bool modified = false;

    // Controls, named as in the window's layout.
    QWidget* client_area = nullptr;
    QTabWidget* PageControl1 = nullptr;  // the three tabs
    QWidget* TabSheet1 = nullptr;        // "COM ports"
    QLabel* Label3 = nullptr;            // "COM port for direct (cable) connection"
    QLineEdit* ed_COM_direct = nullptr;
    QLabel* Label4 = nullptr;  // for example "COM1"
    QLabel* Label5 = nullptr;  // "COM port for modem connection"
    QLineEdit* ed_COM_modem = nullptr;
    QLabel* Label6 = nullptr;        // for example "COM2"
    QWidget* TabSheet2 = nullptr;    // "NUXOs"
    QGroupBox* GroupBox1 = nullptr;  // "NUXO list"
    StationGrid* StringGrid_stations = nullptr;
    QPushButton* Button7 = nullptr;  // "Edit Selected"
    QPushButton* Button5 = nullptr;  // "Add a new NUXO"
    QPushButton* Button6 = nullptr;  // "Delete selected NUXO"
    QWidget* TabSheet3 = nullptr;    // "Directories"
    QLabel* Label1 = nullptr;        // "Path to BIN directory ..."
    QLineEdit* ed_path_bin = nullptr;
    QPushButton* Button3 = nullptr;  // "Browse..." for the BIN directory
    QLabel* Label2 = nullptr;        // "Path to XML directory ..."
    QLineEdit* ed_path_xml = nullptr;
    QPushButton* Button4 = nullptr;  // "Browse..." for the XML directory
    QLabel* Label7 = nullptr;        // "Path to STATUS directory (GetStatus)"
    QLineEdit* ed_path_log = nullptr;
    QPushButton* Button1 = nullptr;  // "Browse..." for the STATUS directory
    LogMemo* Memo1 = nullptr;        // the hidden log
    QFrame* Panel1 = nullptr;        // the status bar with the file name
    QLabel* lb_filename = nullptr;

    QMenu* File1 = nullptr;  // "File"
    QAction* New1 = nullptr;
    QAction* Open1 = nullptr;
    QAction* Save1 = nullptr;
    QAction* SaveAs1 = nullptr;         // "Save As ..."
    QMenu* About1 = nullptr;            // "Help"
    QAction* AboutKestrane1 = nullptr;  // "About Kestrane"

    // The two file dialogs, each built the first time it is needed: they
    // cost more to build than the rest of the window together.
    QFileDialog* OpenDialog1 = nullptr;  // the file dialog of Open
    QFileDialog* SaveDialog1 = nullptr;  // the file dialog of Save As

    StationListModel* station_list = nullptr;

    // Copies the document into the controls; does not touch `modified`.
    void show_document();
    // Copies the five edits into the document; does not touch `modified`.
    void store_edits();
    // Takes the six element references again, completing what is missing.
    void bind_elements();
    // True when the document's changes may be discarded: asks the operator
    // only when there are changes.
    bool confirm_continue();
    // Rebuilds the station list from STATIONS.
    void fill_station_list();
    // The station of the topmost selected row of the list, or null.
    TiXmlElement* selected_station() const;

    // The file the document was read from or last saved to; empty for a
    // document that has no file yet.
    QString current_file() const { return current_file_name; }
    void set_current_file(const QString& file_name);
    // Reads the settings file into the window as Open does, without a
    // question; false (after telling the operator) when it could not be
    // read, with the document as it was.
    bool open_file(const QString& file_name);
    // The settings file named on the program's command line ("Open with", a
    // file dropped on the icon), opened as Open would; nothing without one.
    void open_from_command_line(const QStringList& arguments);
    // Writes the document to the file; false (after telling the operator)
    // when the file could not be written.
    bool save_document(const QString& file_name);

    // The window's close handler: the close is cancelled when the operator
    // keeps the unsaved changes.
    void FormClose(QCloseEvent* event);

public slots:
    void New1Click();
    void Open1Click();
    void Save1Click();
    void SaveAs1Click();
    void AboutKestrane1Click();

    void Button5Click();
    void Button6Click();
    void Button7Click();

    void Button3Click();
    void Button4Click();
    void Button1Click();

    // A change of the text of one of the five edits.
    void edit_changed();

protected:
    void closeEvent(QCloseEvent* event) override { FormClose(event); }

private:
    // The five edits from the document; the second half of show_document.
    void show_edits();
    void build_controls();
    // The edits of `tab` with their captions, from the table of the five edits.
    void build_edits(QWidget* TFmain::*tab);
    void watch_edits();
    void build_com_ports_tab();
    void build_stations_tab();
    void build_directories_tab();
    void build_menu();
    QFileDialog* open_dialog();
    QFileDialog* save_dialog();
    // Opens the station dialog on `station`; true when the operator stored it.
    bool run_station_dialog(TiXmlElement* station);
    // The selected station for Edit and Delete, once the five edits are in
    // the document; null, with nothing stored, when no station is selected.
    TiXmlElement* station_to_act_on();
    // Selects the row of `station` in the rebuilt list, when it is listed.
    void select_station(const TiXmlElement* station);
    void browse_for_folder(TiXmlElement* path_element, QLineEdit* edit);
    // The Browse... button beside `edit`, from the table of the five edits.
    void browse_for_edit(QLineEdit* TFmain::*edit);
    void show_file_error(const QString& action, const QString& file_name, const std::string& reason);
    // Asks whether the version of `file_name` that another program saved
    // since it was opened may be replaced; true for Yes.
    bool replace_other_version(const QString& file_name);

    QString current_file_name;
};

// The one main window of the run, null before it is built and after it is gone.
extern TFmain* Fmain;

// Appends one entry to the main window's hidden log; the document layer's
// log_printf sends its entries here.
void log_append(const char* text);

#endif
