#include "support/gui_screenshot.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QWidget>

QPixmap screenshot(QWidget* window, const std::string& name)
{
    const QPixmap picture = window->grab();
    keep_screenshot(picture, name);
    return picture;
}

void keep_screenshot(const QPixmap& picture, const std::string& name)
{
    if (picture.isNull()) {
        ADD_FAILURE() << "nothing rendered for " << name;
        return;
    }
    const QString folder = qEnvironmentVariable("ZANTOR_SCREENSHOT_DIR");
    if (folder.isEmpty()) {
        return;
    }
    ASSERT_TRUE(QDir().mkpath(folder)) << folder.toStdString();
    const QString path = QDir(folder).filePath(QString::fromStdString(name + ".png"));
    EXPECT_TRUE(picture.save(path, "PNG")) << path.toStdString();
}
