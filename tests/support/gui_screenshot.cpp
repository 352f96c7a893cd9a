#include "support/gui_screenshot.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include "widgets/form.h"

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

namespace {

bool is_control(const QWidget* widget)
{
    return qobject_cast<const QLineEdit*>(widget) != nullptr || qobject_cast<const QComboBox*>(widget) != nullptr ||
           qobject_cast<const QPushButton*>(widget) != nullptr;
}

void expect_label_fits(const QLabel* label, const std::string& where)
{
    const std::string text = where + ": " + label->text().toStdString();
    EXPECT_GE(label->width(), label->sizeHint().width()) << "cut off: " << text;
    const QWidget* parent = label->parentWidget();
    EXPECT_TRUE(parent->rect().contains(label->geometry())) << "outside its box: " << text;
    // Only the printed part of a right-aligned caption matters.
    QRect printed = label->geometry();
    if (label->alignment() & Qt::AlignRight) {
        printed.setLeft(printed.right() - label->sizeHint().width());
    } else {
        printed.setWidth(label->sizeHint().width());
    }
    // A caption that touches its box reads as part of the box text.
    const int clearance = 2;
    for (const QWidget* sibling : parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (is_control(sibling)) {
            EXPECT_FALSE(printed.adjusted(-clearance, 0, clearance, 0).intersects(sibling->geometry()))
                << text << " runs into " << sibling->objectName().toStdString();
        }
    }
}

}  // namespace

void expect_captions_fit(QWidget* area, const std::string& where)
{
    for (const QLabel* label : area->findChildren<QLabel*>()) {
        if (!label->text().isEmpty()) {
            expect_label_fits(label, where);
        }
    }
    for (const QAbstractButton* button : area->findChildren<QAbstractButton*>()) {
        if (button->isVisibleTo(area) && !button->text().isEmpty()) {
            EXPECT_TRUE(caption_fits(button))
                << where << ": " << button->objectName().toStdString() << " \"" << button->text().toStdString() << "\"";
        }
    }
    for (const QComboBox* combo : area->findChildren<QComboBox*>()) {
        if (combo->isVisibleTo(area)) {
            EXPECT_LE(combo->sizeHint().width(), combo->width()) << where << ": " << combo->objectName().toStdString();
        }
    }
}
