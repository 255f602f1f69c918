#pragma once

class QKeyEvent;
class QToolBar;
class QWidget;

// Keyboard access shared by the windows. Toolbar buttons take no focus in Qt; where a toolbar is the
// window's only way to its commands, focusToolBarButtons puts every button in the Tab order, left to
// right (top to bottom). pressAccessKey gives a menu-like window its access keys without Alt, the way
// desktop menus do: a key that only one button carries runs it; a key that several carry moves the
// focus from one to the next, and Enter or Space then runs the focused one.

void focusToolBarButtons(QToolBar *bar);

// True when the key was an access key of a visible, enabled button inside scope.
bool pressAccessKey(QWidget *scope, const QKeyEvent *event);
