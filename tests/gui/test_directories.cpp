// The Browse... buttons of the directory tab and the folder chooser behind
// them, answered through Qt's own folder dialog.
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/Lib_32.h"
#include "support/gui_file_dialog.h"
#include "support/gui_fixture.h"
#include "support/gui_modal.h"
#include "support/gui_operator.h"
#include "widgets/cp1252_text.h"

namespace {

using BrowseButtons = MainWindowTest;
using FolderChooser = MainWindowTest;

struct DirectoryRow {
    const char* button;
    TiXmlElement* TFmain::*element;
    const char* edit;
};

const DirectoryRow rows[] = {
    {"Button3", &TFmain::node_path_bin, "ed_path_bin"},
    {"Button4", &TFmain::node_path_xml, "ed_path_xml"},
    {"Button1", &TFmain::node_path_log, "ed_path_log"},
};

std::string document_path(const QString& path)
{
    return cp1252_from_qstring(QDir::toNativeSeparators(path));
}

}  // namespace

TEST_F(BrowseButtons, StartAtTheStoredFolderAndPutTheChosenOneIntoTheirEdit)
{
    for (const DirectoryRow& row : rows) {
        SCOPED_TRACE(row.button);
        const QString stored = temp_path(row.edit);
        const QString chosen = temp_path(row.button);
        ASSERT_TRUE(QDir().mkpath(stored));
        ASSERT_TRUE(QDir().mkpath(chosen));
        // Stored with a trailing separator, as operators often type it.
        xml_set_attr(window.get()->*row.element, "path", (document_path(stored) + "/").c_str());
        window->show_document();
        // Typed since, but not yet in the document: the chooser ignores it.
        QLineEdit* edit = child<QLineEdit>(window.get(), row.edit);
        edit->setText(QStringLiteral("typed but not stored"));
        window->modified = false;

        QString title;
        QString start;
        when_modal_shown([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            title = dialog->windowTitle();
            start = dialog->directory().absolutePath();
            // Looking is done; the same dialog is answered on the next poll.
            answer_next_file_dialog(chosen);
        });
        click(window.get(), row.button);

        EXPECT_EQ(title, QStringLiteral("Choose a Folder"));
        EXPECT_EQ(start, QDir(stored).absolutePath());
        EXPECT_EQ(edit->text(), QDir::toNativeSeparators(chosen));
        EXPECT_TRUE(window->modified);
        // The document itself changes only with the next store.
        EXPECT_EQ(xml_get_attr_text(window.get()->*row.element, "path"), document_path(stored) + "/");
    }
}

TEST_F(BrowseButtons, CancelLeavesTheEditAndTheFlag)
{
    window->ed_path_xml->setText(QStringLiteral("typed"));
    window->modified = false;
    cancel_next_file_dialog();
    window->Button4Click();
    EXPECT_EQ(window->ed_path_xml->text(), QStringLiteral("typed"));
    EXPECT_FALSE(window->modified);
}

TEST_F(FolderChooser, WithoutAStartPathShowsNothing)
{
    char result[16] = "unchanged";
    EXPECT_FALSE(choose_folder(result, 16, nullptr));
    EXPECT_STREQ(result, "unchanged");
}

TEST_F(FolderChooser, APathLongerThanTheBufferIsNoChoice)
{
    const QString folder = temp_path("a_folder_with_a_long_name");
    ASSERT_TRUE(QDir().mkpath(folder));
    char result[8] = "old";
    answer_next_file_dialog(folder);
    EXPECT_FALSE(choose_folder(result, 8, document_path(temp.path()).c_str()));
    EXPECT_STREQ(result, "");
}
