#pragma once

#include "common/settingskeys.h"

#include <QPointF>
#include <QSizeF>
#include <optional>

class QCheckBox;
class QWidget;

// Helpers that every tool window shares: topmost placement, twips, placement restore, keep-on-top box.
// Window positions and sizes are kept in twips of the outer frame: logical pixels x 15. A window has no
// frame until the desktop has drawn one, after it is first shown; until then the helpers assume the
// frame the last framed window had, and they size and place the window again once its own is known.

inline constexpr double TwipsPerPixel = 15.0;

// A dialog of fixed size: title bar and close box, no minimise or maximise button. An ordinary window
// to the desktop, which keeps such a window where the program puts it, also partly off the screen.
inline constexpr Qt::WindowFlags FixedDialogFlags = Qt::Window | Qt::MSWindowsFixedSizeDialogHint
    | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

// Moves the window above ordinary windows when onTop is 1, back among them for any other value.
// Only the stacking changes: position, size and activation stay.
bool SetWindowOnTop(QWidget *window, int onTop);

QSizeF screenSizeTwips();
QSizeF outerSizeTwips(const QWidget *window);
QPointF outerPosTwips(const QWidget *window);
void moveToTwips(QWidget *window, QPointF twips);

// Gives the window an outer size; a fixed one keeps it (grown to what its controls need at least).
void resizeOuterTwips(QWidget *window, QSizeF twips);
void fixOuterSizeTwips(QWidget *window, QSizeF twips);

// Where a window goes, in twips: the stored edges or the centred defaults; a window stored beyond
// the right or bottom edge of the screen comes back to the middle (or to fallbackTop, when given).
// Negative edges are kept.
QPointF placeWindow(std::optional<double> left, std::optional<double> top, QSizeF window, QSizeF screen,
    std::optional<double> fallbackTop = std::nullopt);

// Reads the two keys and moves the window; set the window's size first.
void restorePlacement(
    QWidget *window, const SettingKey &left, const SettingKey &top, std::optional<double> fallbackTop = std::nullopt);
void savePlacement(const QWidget *window, const SettingKey &left, const SettingKey &top);
// Centres a window that stores no place (set its size first).
void centreWindow(QWidget *window);

// The caption-less "Keep on top" box: takes its state from the key (a ticked box puts the window
// on top at once), follows every change of the box, and stores it with saveKeepOnTop at unload.
void bindKeepOnTop(QCheckBox *box, QWidget *window, const SettingKey &key);
void saveKeepOnTop(const QCheckBox *box, const SettingKey &key);
