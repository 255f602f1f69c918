// Any bytes as the settings file: every reader gives a value of its kind (never a crash), and the
// store can still be written and read back.
#include "common/settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Quillory2.conf"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char *>(data), qsizetype(size));
    file.close();
    Settings::useFile(path);

    for (const SettingKey &key : { Key::ShowSplash, Key::ShowToolBar, Key::ReminderPast, Key::CalendarOnTop }) {
        const int state = Settings::readCheckState(key);
        if (state != 0 && state != 1)
            std::abort();
        Settings::readTruth(key);
    }
    Settings::readInteger(Key::PopUpDelay);
    for (const SettingKey &key : { Key::CalendarLeft, Key::TextEdWidth }) {
        if (const auto twips = Settings::readCoordinate(key); twips && !std::isfinite(*twips))
            std::abort();
    }
    Settings::save(Key::PopUpDelay, QStringLiteral("7"));
    Settings::sync();
    if (Settings::readInteger(Key::PopUpDelay) != 7)
        std::abort();
    return 0;
}
