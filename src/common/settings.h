#pragma once

#include "common/settingskeys.h"

#include <QString>
#include <optional>

// The per-user settings store: text values under application "Quillory2", section "Settings".
// The readers convert a stored text to the kind a window needs; a text that does not convert
// (or does not fit the kind) reads as the key's default.
namespace Settings {

inline constexpr char Application[] = "Quillory2";
inline constexpr char Section[] = "Settings";

QString GetSetting(const QString &application, const QString &section, const QString &key, const QString &defaultText);
void SaveSetting(const QString &application, const QString &section, const QString &key, const QString &text);

// The program's own shorthands for application "Quillory2", section "Settings".
QString get(const SettingKey &key);
void save(const SettingKey &key, const QString &text);
bool contains(const SettingKey &key);

// Readers for the four kinds of value.
std::optional<double> readCoordinate(const SettingKey &key); // twips; nullopt when absent or unreadable
int readCheckState(const SettingKey &key); // 0 or 1 (anything else reads as the default)
bool readTruth(const SettingKey &key); // zero is false, any other number true
qint16 readInteger(const SettingKey &key); // 16-bit signed

// Writers for the same kinds.
void saveCoordinate(const SettingKey &key, double twips);
void saveCheckState(const SettingKey &key, bool ticked);
void saveInteger(const SettingKey &key, int value);

// Tests keep their settings in a file of their own; an empty path returns to the user's store.
void useFile(const QString &iniPath);
void sync();
// Where the store lives, and whether it can be written there (a read-only or missing folder).
QString fileName();
bool isWritable();

} // namespace Settings
