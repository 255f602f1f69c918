#include "common/trash.h"

#include <QFileInfo>
#include <QStandardPaths>

bool CanMoveToTrash()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dataHome.isEmpty())
        return false;
    const QFileInfo trash(dataHome + QStringLiteral("/Trash"));
    const QFileInfo home(dataHome);
    return trash.exists() ? trash.isDir() && trash.isWritable() : home.isDir() && home.isWritable();
#else
    return true;
#endif
}
