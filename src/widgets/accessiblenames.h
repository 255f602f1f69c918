#pragma once

class QToolBar;
class QWidget;

// Screen readers speak a control's accessible name. A control that shows only a picture (an
// icon-only button, a caption-less check box) has no text of its own to speak: it takes its tool
// tip, without access-key marks. Labels that show a value are left alone, so that their text
// stays readable.
void nameFromToolTip(QWidget *control);

// Names every button of the toolbar from its action's tool tip (or its text, where it has no tip).
void nameToolBarButtons(QToolBar *bar);
