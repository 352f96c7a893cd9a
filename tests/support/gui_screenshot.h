// Pictures of the windows for a person to look at. They are written only
// when ZANTOR_SCREENSHOT_DIR names a folder (make screenshots sets it to
// docs/screenshots); otherwise a test only checks that they render.
#ifndef ZANTOR_TESTS_SUPPORT_GUI_SCREENSHOT_H
#define ZANTOR_TESTS_SUPPORT_GUI_SCREENSHOT_H

#include <QPixmap>
#include <string>

class QWidget;

// Renders `window` as it is now and keeps the picture as `name`.png.
QPixmap screenshot(QWidget* window, const std::string& name);

// Keeps a picture already rendered as `name`.png.
void keep_screenshot(const QPixmap& picture, const std::string& name);

#endif
