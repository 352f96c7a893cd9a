// Fixture of the main window tests: a fresh main window shown offscreen, a
// temporary directory for settings files, and the check that a test leaves
// no unexpected window open.
#ifndef ZANTOR_TESTS_GUI_MAIN_WINDOW_H
#define ZANTOR_TESTS_GUI_MAIN_WINDOW_H

#include <gtest/gtest.h>

#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <string>

#include "app/main.h"

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A path inside the test's temporary directory.
    QString temp_path(const char* name) const;

    std::unique_ptr<TFmain> window;
    QTemporaryDir temp;
};

// Fails the test for each visible top-level window that is not `expected`,
// and hides it so the next test starts clean.
void expect_only_visible_window(const QWidget* expected);

std::string read_bytes(const QString& path);
void write_bytes(const QString& path, const std::string& bytes);

#endif
