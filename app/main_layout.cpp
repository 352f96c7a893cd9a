// The main window's controls at their fixed positions: the window keeps the
// classic layout of the editor, with a client area of 515 x 462 pixels under
// the menu bar.
#include <QAction>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>

#include "app/log_memo.h"
#include "app/main.h"
#include "app/pictures.h"
#include "app/station_grid.h"
#include "app/station_list_model.h"
#include "widgets/file_dialog.h"
#include "widgets/form.h"
#include "widgets/window_place.h"

namespace {

template <typename Control>
Control* named(Control* control, const char* name)
{
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

QLabel* make_hint(QWidget* parent, const char* name, const QString& text, int left, int top)
{
    QLabel* hint = make_label(parent, QString::fromLatin1(name), text, left, top);
    QFont font = hint->font();
    font.setItalic(true);
    hint->setFont(font);
    hint->adjustSize();
    return hint;
}

QWidget* make_tab(QTabWidget* pages, const char* name, const QString& caption)
{
    auto* tab = named(new QWidget(pages), name);
    pages->addTab(tab, caption);
    return tab;
}

QFileDialog* make_settings_file_dialog(QWidget* parent, const char* name, QFileDialog::AcceptMode mode)
{
    // Save As asks before it replaces an existing file, as the system's own
    // Save dialog does.
    QFileDialog* dialog = make_file_dialog(parent, QString::fromLatin1(name), {});
    dialog->setAcceptMode(mode);
    // Named as Qt's own dialog names itself; the system's takes the name too.
    dialog->setWindowTitle(mode == QFileDialog::AcceptOpen ? QStringLiteral("Open") : QStringLiteral("Save As"));
#if defined(Q_OS_WIN)
    // The first Open or Save As starts in the operator's Documents, not in
    // the folder the program was started from (Program Files).
    dialog->setDirectory(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
#endif
    // Any name is accepted: a file that cannot be read is reported when it
    // is loaded.
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilters({QStringLiteral("XML files (*.xml)"), QStringLiteral("All files (*.*)")});
    dialog->setDefaultSuffix(QStringLiteral("xml"));
    return dialog;
}

// Qt's menu bar enters its keyboard mode on a press and release of Alt
// alone, seen by the window; it has no other way in. The same two events
// sent here select it the same way, and leave it again when it already was.
void select_menu_bar(QMenuBar* menu_bar)
{
    QWidget* window = menu_bar->window();
    QKeyEvent alt_pressed(QEvent::ShortcutOverride, Qt::Key_Alt, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &alt_pressed);
    QKeyEvent alt_released(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &alt_released);
}

}  // namespace

void TFmain::build_controls()
{
    fix_frame_buttons(this);
    setWindowTitle(QStringLiteral("Zantor Editor V4 - 6478c"));
    setWindowIcon(program_icon());

    client_area = named(new QWidget(this), "client_area");
    client_area->setFixedSize(515, 462);
    setCentralWidget(client_area);

    PageControl1 = named(new QTabWidget(client_area), "PageControl1");
    PageControl1->setGeometry(0, 0, 515, 387);
    build_com_ports_tab();
    build_stations_tab();
    build_directories_tab();

    Memo1 = named(new LogMemo(client_area), "Memo1");
    Memo1->setGeometry(0, 387, 515, 34);

    Panel1 = named(new QFrame(client_area), "Panel1");
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setGeometry(0, 421, 515, 41);
    lb_filename = make_label(Panel1, QStringLiteral("lb_filename"), QString(), 32, 8);
    lb_filename->setGeometry(32, 8, 515 - 32 - 8, lb_filename->sizeHint().height());

    build_menu();
    // The window keeps its size: the client area is fixed and the menu bar
    // adds its own height on top of it.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    place_window_frame(this, 175, 104);
}

void TFmain::build_com_ports_tab()
{
    TabSheet1 = make_tab(PageControl1, "TabSheet1", QStringLiteral("COM ports"));
    build_edits(&TFmain::TabSheet1);
    Label4 = make_hint(TabSheet1, "Label4", QStringLiteral("for example \"COM1\""), 112, 80);
    Label6 = make_hint(TabSheet1, "Label6", QStringLiteral("for example \"COM2\""), 112, 144);
}

void TFmain::build_stations_tab()
{
    TabSheet2 = make_tab(PageControl1, "TabSheet2", QStringLiteral("NUXOs"));
    GroupBox1 =
        make_group_box(TabSheet2, QStringLiteral("GroupBox1"), QStringLiteral("NUXO list"), QRect(16, 24, 457, 321));

    station_list = new StationListModel(this);
    StringGrid_stations = named(new StationGrid(GroupBox1), "StringGrid_stations");
    StringGrid_stations->setGeometry(8, 24, 435, 209);
    StringGrid_stations->setModel(station_list);
    StringGrid_stations->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid_stations->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid_stations->setSelectionMode(QAbstractItemView::ExtendedSelection);
    StringGrid_stations->verticalHeader()->hide();
    StringGrid_stations->verticalHeader()->setMinimumSectionSize(18);
    StringGrid_stations->verticalHeader()->setDefaultSectionSize(18);
    StringGrid_stations->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    StringGrid_stations->horizontalHeader()->setHighlightSections(false);
    StringGrid_stations->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    StringGrid_stations->horizontalHeader()->setFixedHeight(18);
    StringGrid_stations->setColumnWidth(StationListModel::id_column, 80);
    StringGrid_stations->setColumnWidth(StationListModel::description_column, 300);
    StringGrid_stations->setWordWrap(false);

    Button7 =
        make_button(GroupBox1, QStringLiteral("Button7"), QStringLiteral("Edit Selected"), QRect(40, 264, 123, 25));
    Button5 =
        make_button(GroupBox1, QStringLiteral("Button5"), QStringLiteral("Add a new NUXO"), QRect(168, 264, 123, 25));
    Button6 = make_button(GroupBox1, QStringLiteral("Button6"), QStringLiteral("Delete selected NUXO"),
                          QRect(296, 264, 123, 25));
    QWidget::setTabOrder(StringGrid_stations, Button5);
    QWidget::setTabOrder(Button5, Button6);
    QWidget::setTabOrder(Button6, Button7);

    // A double click or Return on a station opens it, as in a Windows list.
    connect(StringGrid_stations, &QTableView::activated, this, &TFmain::Button7Click);
    connect(Button7, &QPushButton::clicked, this, &TFmain::Button7Click);
    connect(Button5, &QPushButton::clicked, this, &TFmain::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &TFmain::Button6Click);
}

void TFmain::build_directories_tab()
{
    TabSheet3 = make_tab(PageControl1, "TabSheet3", QStringLiteral("Directories"));
    build_edits(&TFmain::TabSheet3);
}

void TFmain::build_menu()
{
    QMenuBar* MainMenu1 = named(menuBar(), "MainMenu1");
    // Each title and command has its access key (Alt+F opens File), shown
    // underlined while Alt is held.
    File1 = named(MainMenu1->addMenu(QStringLiteral("&File")), "File1");
    New1 = named(File1->addAction(new_document_icon(), QStringLiteral("&New")), "New1");
    Open1 = named(File1->addAction(open_document_icon(), QStringLiteral("&Open")), "Open1");
    Open1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    Save1 = named(File1->addAction(save_document_icon(), QStringLiteral("&Save")), "Save1");
    Save1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    SaveAs1 = named(File1->addAction(QStringLiteral("Save &As ...")), "SaveAs1");
    About1 = named(MainMenu1->addMenu(QStringLiteral("&Help")), "About1");
    AboutKestrane1 = named(About1->addAction(QStringLiteral("&About Kestrane")), "AboutKestrane1");

    // F10 selects the menu bar as a press of Alt does (the style turns that
    // on): File highlighted, the arrow keys and Return to go on.
    auto* menu_key = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menu_key, &QShortcut::activated, this, [MainMenu1] { select_menu_bar(MainMenu1); });

    connect(New1, &QAction::triggered, this, &TFmain::New1Click);
    connect(Open1, &QAction::triggered, this, &TFmain::Open1Click);
    connect(Save1, &QAction::triggered, this, &TFmain::Save1Click);
    connect(SaveAs1, &QAction::triggered, this, &TFmain::SaveAs1Click);
    connect(AboutKestrane1, &QAction::triggered, this, &TFmain::AboutKestrane1Click);
}

QFileDialog* TFmain::open_dialog()
{
    if (OpenDialog1 == nullptr) {
        OpenDialog1 = make_settings_file_dialog(this, "OpenDialog1", QFileDialog::AcceptOpen);
    }
    return OpenDialog1;
}

QFileDialog* TFmain::save_dialog()
{
    if (SaveDialog1 == nullptr) {
        SaveDialog1 = make_settings_file_dialog(this, "SaveDialog1", QFileDialog::AcceptSave);
    }
    return SaveDialog1;
}
