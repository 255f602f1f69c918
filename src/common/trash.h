#pragma once

// True when a move to the desktop trash can be made. Where the desktop offers no freedesktop trash,
// Qt's move to the trash does not fail: its fall-back, the home trash, comes back as an empty path,
// which it takes for the working folder, and the item lands in "files" there. So the home trash must
// be there, or makeable, before anything is moved.
bool CanMoveToTrash();
