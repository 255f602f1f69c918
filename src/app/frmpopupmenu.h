#pragma once

#include "app/tooltable.h"

#include <QFrame>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <array>

class QAction;
class QMenu;
class QTimer;
class QToolBar;
class frmQY2;

// The pop-up menu: a column of captioned buttons that opens with one corner at the pointer and
// extends towards the middle of the screen, stays on top, and closes itself after the main window's
// PopUpDelay ticks of Timer1 (read on every tick, so a delay applied in Options governs an open menu).
// A button opens its window and closes the menu; the "&About" button's drop-down holds "Options"
// (the menu stays) and "E&xit" (the program ends).
// Keyboard: the menu takes the focus when it opens; Up and Down move it, Enter or Space runs the focused
// button, Escape closes; an access key works with or without Alt (see pressAccessKey); Alt+Down, F4
// or the menu key open the "&About" drop-down. A key pressed in the menu starts its count anew, so
// that a keyboard or screen-reader user has the whole delay for every step.
class frmPopUpMenu final : public QFrame
{
    Q_OBJECT

public:
    static constexpr double InsideWidthTwips = 1530;
    static constexpr double InsideHeightTwips = 3015;
    static constexpr int TickInterval = 1000;

    explicit frmPopUpMenu(frmQY2 &main, QWidget *parent = nullptr);

    qint16 popUpTicks() const { return m_popUpTicks; }

    void Timer1_Timer();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildButtons();
    void alignButtons();
    QAction *addButton(const ButtonFace &face, const QIcon &icon);
    QAction *addWindowButton(WindowKey key);
    void enableRegistered(WindowKey key);
    void placeAtPointer();
    bool menuKey(const QKeyEvent *event);
    void moveFocus(bool down);
    void showAboutDropDown();

    void Toolbar1_ButtonClick(WindowKey key);
    void Toolbar1_HelpClick();

    frmQY2 &m_main;
    QToolBar *m_toolbar1 = nullptr;
    QTimer *m_timer1 = nullptr;
    QMenu *m_dropDown = nullptr;
    std::array<QAction *, WindowCount> m_buttons {}; // the buttons that open windows, by key
    qint16 m_popUpTicks = 1;
};

// Where the menu's top-left corner goes, in twips: at the pointer in the first half of the screen,
// a menu's width (height) back from it in the second half; exactly half counts as the second half.
QPointF popUpMenuPosition(QPointF pointer, QSizeF menu, QRectF screen);
