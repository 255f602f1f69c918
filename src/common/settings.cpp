#include "common/settings.h"

#include <QSettings>
#include <cmath>
#include <limits>
#include <memory>

namespace Settings {
namespace {

QString s_file;

std::unique_ptr<QSettings> openStore(const QString &application)
{
    if (!s_file.isEmpty())
        return std::make_unique<QSettings>(s_file, QSettings::IniFormat);
    return std::make_unique<QSettings>(application, application); // INI file on Linux, registry on Windows
}

QString keyPath(const QString &section, const QString &key)
{
    return section + u'/' + key;
}

std::optional<double> toNumber(const QString &text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// Reads the key as a number; an absent key or a text that is not a number gives the default's number.
double numberOrDefault(const SettingKey &key)
{
    if (const auto value = toNumber(get(key)))
        return *value;
    return toNumber(QLatin1String(key.defaultText)).value_or(0.0);
}

} // namespace

QString GetSetting(const QString &application, const QString &section, const QString &key, const QString &defaultText)
{
    return openStore(application)->value(keyPath(section, key), defaultText).toString();
}

void SaveSetting(const QString &application, const QString &section, const QString &key, const QString &text)
{
    openStore(application)->setValue(keyPath(section, key), text);
}

QString get(const SettingKey &key)
{
    return GetSetting(
        QLatin1String(Application), QLatin1String(Section), QLatin1String(key.key), QLatin1String(key.defaultText));
}

void save(const SettingKey &key, const QString &text)
{
    SaveSetting(QLatin1String(Application), QLatin1String(Section), QLatin1String(key.key), text);
}

bool contains(const SettingKey &key)
{
    return openStore(QLatin1String(Application))->contains(keyPath(QLatin1String(Section), QLatin1String(key.key)));
}

std::optional<double> readCoordinate(const SettingKey &key)
{
    const auto stored = toNumber(get(key));
    if (stored && std::abs(*stored) <= std::numeric_limits<float>::max())
        return double(float(*stored));
    return toNumber(QLatin1String(key.defaultText));
}

int readCheckState(const SettingKey &key)
{
    const double value = numberOrDefault(key);
    if (value == 0.0 || value == 1.0)
        return int(value);
    return int(toNumber(QLatin1String(key.defaultText)).value_or(0.0));
}

bool readTruth(const SettingKey &key)
{
    return numberOrDefault(key) != 0.0;
}

qint16 readInteger(const SettingKey &key)
{
    const double value = std::round(numberOrDefault(key));
    if (value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max())
        return qint16(toNumber(QLatin1String(key.defaultText)).value_or(0.0));
    return qint16(value);
}

void saveCoordinate(const SettingKey &key, double twips)
{
    save(key, QString::number(float(twips), 'g', 9));
}

void saveCheckState(const SettingKey &key, bool ticked)
{
    save(key, ticked ? QStringLiteral("1") : QStringLiteral("0"));
}

void saveInteger(const SettingKey &key, int value)
{
    save(key, QString::number(value));
}

void useFile(const QString &iniPath)
{
    s_file = iniPath;
}

void sync()
{
    openStore(QLatin1String(Application))->sync();
}

QString fileName()
{
    return openStore(QLatin1String(Application))->fileName();
}

bool isWritable()
{
    return openStore(QLatin1String(Application))->isWritable();
}

} // namespace Settings
