#pragma once

class frmQY2;

// The one place where the program's windows are wired to the main window's opener, by key.
void registerWindows(frmQY2 &main);
