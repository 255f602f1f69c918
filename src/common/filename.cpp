#include "common/filename.h"

bool IsValidFileName(const QString &name)
{
    if (name.isEmpty() || name == u"." || name == u"..")
        return false;
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (QChar c : name) {
        if (forbidden.contains(c) || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}
