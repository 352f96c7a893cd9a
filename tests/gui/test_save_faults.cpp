// Save through the File menu when the file system fails: the operator is
// told, the changes stay marked unsaved, and the file on disk keeps every
// byte it had.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <string>

#include "doc/save_test_hooks.h"
#include "support/gui_file_dialog.h"
#include "support/gui_fixture.h"
#include "support/gui_modal.h"
#include "support/gui_operator.h"

namespace {

const std::string previous_file =
    "<SETUP>\r\n"
    "    <COMPORTS>\r\n"
    "        <COMPORT port=\"COM5\" rate=\"38400\" type=\"direct\" description=\"cable\" />\r\n"
    "    </COMPORTS>\r\n"
    "    <STATIONS>\r\n"
    "        <STATION id=\"12\" pin=\"4711\" description=\"Roof\" />\r\n"
    "    </STATIONS>\r\n"
    "</SETUP>\r\n";

class SaveFaults : public MainWindowTest {
protected:
    void TearDown() override
    {
        set_save_write_limit(-1);
        MainWindowTest::TearDown();
    }

    // Opens a copy of the previous file in folder/ and types a port, so the
    // window holds a change to save.
    QString open_and_edit()
    {
        EXPECT_TRUE(QDir(temp.path()).mkpath(QStringLiteral("folder")));
        const QString path = temp_path("folder/fleet.xml");
        write_bytes(path, previous_file);
        answer_next_file_dialog(path);
        choose_menu_item(window.get(), "Open1");
        EXPECT_EQ(window->current_file(), path);
        type_text(window->ed_COM_direct, QStringLiteral("COM57"));
        EXPECT_TRUE(window->modified);
        return path;
    }

    // Presses Save and returns the text of the error box it shows, or an
    // empty text when it shows none.
    QString save_through_menu()
    {
        return answering_error_boxes([this] { choose_menu_item(window.get(), "Save1"); });
    }

    void expect_reported_and_untouched(const QString& error, const QString& path, const char* reason)
    {
        EXPECT_TRUE(error.startsWith(QStringLiteral("Could not save the file"))) << error.toStdString();
        EXPECT_TRUE(error.contains(QDir::toNativeSeparators(path))) << error.toStdString();
        EXPECT_TRUE(error.contains(QString::fromLatin1(reason))) << error.toStdString();
        EXPECT_TRUE(window->modified) << "the change is not in any file yet";
        EXPECT_EQ(window->ed_COM_direct->text(), QStringLiteral("COM57"));
    }

    // The folder holds the previous file, byte for byte, and nothing else.
    void expect_folder_as_before()
    {
        EXPECT_EQ(read_bytes(temp_path("folder/fleet.xml")), previous_file);
        EXPECT_EQ(QDir(temp_path("folder")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList{QStringLiteral("fleet.xml")});
    }
};

TEST_F(SaveFaults, FullDiskAtAnyPointOfTheWriteKeepsThePreviousFile)
{
    const QString path = open_and_edit();
    for (long long room : {0LL, 100LL, 300LL}) {
        set_save_write_limit(room);
        expect_reported_and_untouched(save_through_menu(), path, "No space left on device");
        expect_folder_as_before();
    }
    // Once there is room again, the same Save writes the change.
    set_save_write_limit(-1);
    EXPECT_EQ(save_through_menu(), QString());
    EXPECT_FALSE(window->modified);
    EXPECT_NE(read_bytes(path).find("port=\"COM57\""), std::string::npos);
}

TEST_F(SaveFaults, FolderGoneWhileTheFileIsOpenKeepsThePreviousFile)
{
    // A USB stick pulled out, or the folder renamed by someone else.
    const QString path = open_and_edit();
    ASSERT_TRUE(QDir(temp.path()).rename(QStringLiteral("folder"), QStringLiteral("moved")));
    expect_reported_and_untouched(save_through_menu(), path, "No such file or directory");
    EXPECT_FALSE(QFile::exists(path));
    ASSERT_TRUE(QDir(temp.path()).rename(QStringLiteral("moved"), QStringLiteral("folder")));
    expect_folder_as_before();
}

TEST_F(SaveFaults, FileReplacedByAFolderIsReportedAndTheFolderKept)
{
    const QString path = open_and_edit();
    ASSERT_TRUE(QFile::rename(path, temp_path("folder/old.xml")));
    ASSERT_TRUE(QDir(temp_path("folder")).mkdir(QStringLiteral("fleet.xml")));
    write_bytes(temp_path("folder/fleet.xml/inside.txt"), "kept");

    expect_reported_and_untouched(save_through_menu(), path, "is a directory");
    EXPECT_EQ(read_bytes(temp_path("folder/fleet.xml/inside.txt")), "kept");
    EXPECT_EQ(read_bytes(temp_path("folder/old.xml")), previous_file);
    EXPECT_EQ(QDir(temp_path("folder")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{QStringLiteral("fleet.xml"), QStringLiteral("old.xml")}));
}

}  // namespace
