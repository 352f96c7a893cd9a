// The About box: the maker's banner and web address and the date and time
// the program was built. Created hidden at start-up, shown from the Help menu
// without blocking the main window.
#ifndef ZANTOR_APP_ABOUT_H
#define ZANTOR_APP_ABOUT_H

#include <QDialog>

class QLabel;
class QPushButton;

class TFabout : public QDialog {
    Q_OBJECT

public:
    explicit TFabout(QWidget* parent = nullptr);
    ~TFabout() override;

    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* lb_date = nullptr;
    QLabel* lb_time = nullptr;
    QPushButton* Button1 = nullptr;

public slots:
    void Button1Click();
};

// The one About box of the run, null before it is built and after it is gone.
extern TFabout* Fabout;

// Shows the About box centred on the screen, or brings it to the front when
// it is already open.
void show_about();

#endif
