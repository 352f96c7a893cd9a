// The picture under the GSM timing rows of the station dialog: how the two
// GSM times relate to the module's power-on cycle.
#ifndef ZANTOR_STATION_EDIT_GSM_TIMING_PICTURE_H
#define ZANTOR_STATION_EDIT_GSM_TIMING_PICTURE_H

#include <QPixmap>

class QFont;

// A square wave over a time axis: the module is switched on at each rising
// edge and stays ready to communicate during the high phase. An arrow under
// the high phase is marked GSM_DURATION; an arrow from one rising edge to
// the next is marked GSM_INTERVAL. Drawn on a transparent background.
QPixmap draw_gsm_timing_picture(int width, int height, const QFont& font);

#endif
