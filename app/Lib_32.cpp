#include "app/Lib_32.h"

#include <QDir>
#include <QFileInfo>
#include <memory>
#include <string>
#include <vector>

#include "app/main.h"
#include "doc/Lib_xml.h"
#include "doc/text_parsers.h"
#include "widgets/cp1252_text.h"
#include "widgets/file_dialog.h"

bool choose_folder(char* result, int capacity, const char* initial_path)
{
    // Nowhere to put the answer: no dialog is shown.
    if (initial_path == nullptr || result == nullptr) {
        return false;
    }
    std::vector<char> start(initial_path, initial_path + std::char_traits<char>::length(initial_path) + 1);
    strip_trailing_separators(start.data());

    // The system's folder chooser on Windows, Qt's own elsewhere; it accepts
    // only folders that exist.
    // Owned by the main window, so it stands over it, and the operator cannot
    // start a second Browse or close the window while it is open.
    std::unique_ptr<QFileDialog> dialog(
        make_file_dialog(Fmain, QStringLiteral("folder_chooser"), QFileDialog::ShowDirsOnly));
    dialog->setWindowTitle(QStringLiteral("Choose a Folder"));
    dialog->setFileMode(QFileDialog::Directory);
    QString start_folder = qstring_from_cp1252(start.data());
    if (start_folder.size() == 2 && start_folder[1] == QLatin1Char(':')) {
        // A drive root such as c:\ arrives as "c:", which alone would mean
        // the drive's current folder.
        start_folder += QLatin1Char('/');
    }
    if (!start_folder.isEmpty()) {
        dialog->setDirectory(start_folder);
    }
    const QString folder = run_file_dialog(dialog.get());
    const QFileInfo chosen(folder);
    if (folder.isEmpty() || !chosen.isDir()) {
        return false;
    }
    // A path that does not fit counts as no choice: an empty result would
    // replace the operator's directory with nothing.
    const std::string path = cp1252_from_qstring(QDir::toNativeSeparators(chosen.absoluteFilePath()));
    return copy_bounded(result, path.c_str(), capacity) > 0;
}
