#pragma once

class frmQY2;

// The one place where the program's windows are registered with the main window's opener (from the tool
// table) and wired to each other when they load.
void registerWindows(frmQY2 &main);
