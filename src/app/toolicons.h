#pragma once

#include <QIcon>
#include <QString>

// The icon of a launcher key ("Calc" ... "Text", "Help", "About", "Options", "Exit", "Hide", "Menu"):
// the desktop theme's icon where the theme has a fitting one, else the program's own SVG.
QIcon toolIcon(const QString &key);
