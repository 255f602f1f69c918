#pragma once

#include <QString>

// True when the name can be used as a single file or folder name beside the program's data:
// not empty, not "." or "..", no control character and none of  \ / : * ? " < > |
bool IsValidFileName(const QString &name);
