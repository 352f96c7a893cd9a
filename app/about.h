// The About box: the maker's banner and web address and the date and time
// the program was built. Created hidden at start-up, shown from the Help menu
// without blocking the main window.
#ifndef ZANTOR_APP_ABOUT_H
#define ZANTOR_APP_ABOUT_H

#include <QDialog>

#include "widgets/editor_dialog.h"

class QLabel;
class QPushButton;

class TFabout : public QDialog {
    Q_OBJECT

public:
    explicit TFabout(QWidget* parent = nullptr);

    // Controls, named as in the window's layout.
    QLabel* Image1 = nullptr;        // the banner
    QLabel* Label1 = nullptr;        // "Visit us at"
    QLabel* Label2 = nullptr;        // the web address
    QLabel* lb_date = nullptr;       // the build date
    QLabel* lb_time = nullptr;       // the build time
    QPushButton* Button1 = nullptr;  // "OK"

public slots:
    void Button1Click();

private:
    OneInstance<TFabout> instance;
};

// The one About box of the run, null before it is built and after it is gone.
extern TFabout* Fabout;

// Shows the About box centred on the screen, or brings it to the front when
// it is already open.
void show_about();

#endif
