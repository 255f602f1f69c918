#pragma once

// What every start of the program sets on the application before its first window: names and
// version, the icon, the style, and staying up with no window open. The window benchmark shares it.
void setUpApplication();
