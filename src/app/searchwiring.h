#pragma once

class frmQY2;
class QWidget;

// The search window's sources and what its hits open, and "Remind me" from the tools to the
// Reminders window: connected when a window loads.
void wireSearch(frmQY2 &main, QWidget *window);
