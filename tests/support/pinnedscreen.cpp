#include "pinnedscreen.h"

#include <QFile>

void pinOffscreenScreen(const QTemporaryDir &configDir)
{
    if (qgetenv("QT_QPA_PLATFORM") != "offscreen")
        return;
    const QString config = configDir.filePath(QStringLiteral("screen.json"));
    QFile file(config);
    if (file.open(QIODevice::WriteOnly))
        file.write(R"({"screens":[{"name":"test","x":0,"y":0,"width":1280,"height":800,)"
                   R"("logicalDpi":96,"logicalBaseDpi":96,"dpr":1}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
}
