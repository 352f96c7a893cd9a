// Where the editor's windows stand on the screen: their layouts give the
// position of the outer frame, title bar included, as Windows places forms.
#ifndef ZANTOR_WIDGETS_WINDOW_PLACE_H
#define ZANTOR_WIDGETS_WINDOW_PLACE_H

class QWidget;

// Puts the window's frame at left, top when it is first shown. Called
// before that first showing (the main window's frame stood 20 pixels too
// high: Qt had placed the inside of the window there).
void place_window_frame(QWidget* window, int left, int top);

// A window of fixed size gets a frame without a maximize button, which could
// do nothing for it: a main window keeps its minimize and close buttons, a
// dialog its close button alone. Called before the first showing.
void fix_frame_buttons(QWidget* window);

#endif
