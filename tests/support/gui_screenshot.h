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

// Fails for each caption inside `area` that is cut off or runs into its
// neighbours: every label with a text is as wide as its text, inside its
// parent and clear of the edits, drop-down lists and buttons beside it; the
// visible buttons and drop-down lists fit their captions (caption_fits).
void expect_captions_fit(QWidget* area, const std::string& where);

#endif
