#pragma once

class QToolBar;
class QWidget;

// What a screen reader speaks. A control that shows only a picture (an icon-only button, a
// caption-less check box) has no text of its own to speak: it takes its tool tip, without access-key
// marks. Labels that show a value (a readout, a count, a time) get no name at all, so that their text
// is what is read; say what the value is in the label's accessibleDescription instead.
//
// Every window of the program that Qt would describe as a bare panel (a QWidget or QFrame window)
// reports itself as a window, so that screen readers treat it as one; dialogs stay dialogs.

void nameFromToolTip(QWidget *control);

// Names every button of the toolbar from its action's tool tip (or its text, where it has no tip),
// and keeps the name in step when the action's tip changes.
void nameToolBarButtons(QToolBar *bar);
