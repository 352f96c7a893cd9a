// Pictures the editor draws itself: the three 16 x 16 menu pictures (used
// when the desktop theme has no icon of its own), the program icon and the
// About box banner.
#ifndef ZANTOR_APP_PICTURES_H
#define ZANTOR_APP_PICTURES_H

#include <QIcon>
#include <QImage>
#include <QPixmap>

// The light grey the menu pictures are drawn on; it becomes transparent.
QColor menu_picture_background();

// A blank sheet with a folded corner, an open yellow folder with a curved
// arrow, a diskette; each 16 x 16 with the background made transparent.
QImage draw_new_picture();
QImage draw_open_picture();
QImage draw_save_picture();

// The theme's document-new, document-open and document-save icons, or our
// own pictures when the theme has none.
QIcon new_document_icon();
QIcon open_document_icon();
QIcon save_document_icon();

// The program icon: a station mast sending its measurements, on a square of
// `size` pixels with a transparent surround.
QImage draw_program_icon(int size);
QIcon program_icon();

// The About box banner, 700 x 200.
QPixmap draw_about_banner();

#endif
