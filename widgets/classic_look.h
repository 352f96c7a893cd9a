// The look every window of the editor is laid out for: the classic 8-point
// dialog font (11 pixels high), so that controls placed at fixed pixel
// positions fit their captions, with Windows' own style on Windows and,
// elsewhere, one style made to look and answer the keys as Windows does.
#ifndef ZANTOR_WIDGETS_CLASSIC_LOOK_H
#define ZANTOR_WIDGETS_CLASSIC_LOOK_H

class QApplication;
class QPainter;
class QStyleOption;

void apply_classic_look(QApplication& app);

// The dotted focus rectangle round option->rect, whatever the style: shown
// once the keyboard has moved the focus in the window, as on Windows.
void draw_focus_rectangle(const QStyleOption* option, QPainter* painter);

#endif
