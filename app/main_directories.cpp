// The Browse... buttons of the "Directories" tab.
#include <QLineEdit>

#include "app/Lib_32.h"
#include "app/main.h"
#include "widgets/cp1252_text.h"

void TFmain::browse_for_folder(TiXmlElement* path_element, QLineEdit* edit)
{
    // The chooser starts at the folder stored in the document, not at a
    // text typed since the last refresh.
    char folder[512] = "";
    if (!choose_folder(folder, static_cast<int>(sizeof folder), xml_get_attr_text(path_element, "path"))) {
        return;
    }
    edit->setText(qstring_from_cp1252(folder));
    modified = true;
}

void TFmain::Button3Click()
{
    browse_for_edit(&TFmain::ed_path_bin);
}

void TFmain::Button4Click()
{
    browse_for_edit(&TFmain::ed_path_xml);
}

void TFmain::Button1Click()
{
    browse_for_edit(&TFmain::ed_path_log);
}
