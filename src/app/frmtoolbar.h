#pragma once

#include "app/tooltable.h"

#include <QFrame>
#include <QPoint>
#include <array>

class QAction;
class QCheckBox;
class QToolBar;
class QToolButton;
class frmQY2;

// The launcher toolbar: a borderless strip of the seven tool buttons, the hide button and the
// keep-on-top box. A button opens its tool window through the main window's opener; a button
// whose window is not built into the program stays visible but disabled until its window registers.
// A right-button drag on the strip moves the toolbar. Where the desktop has no notification area,
// the hide button gives way to a button that opens the pop-up menu, so the program stays reachable.
class frmToolBar final : public QFrame
{
    Q_OBJECT

public:
    static constexpr double InsideWidthTwips = 4440;
    static constexpr double HeightTwips = 660;
    static constexpr double DefaultTopTwips = 100;

    explicit frmToolBar(frmQY2 &main, QWidget *parent = nullptr);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildStrip();
    void watchStripMouse();
    void enableRegistered(WindowKey key);
    void showTrayMissing(bool missing);

    void tbrToolbar1_ButtonClick(WindowKey key);
    void tbrToolbar1_MouseDown(QPoint stripPos, QPoint globalPos);
    void tbrToolbar1_MouseMove(QPoint globalPos);
    void tbrHide_Click();

    frmQY2 &m_main;
    QToolBar *m_tbrToolbar1 = nullptr;
    QToolButton *m_tbrHide = nullptr;
    QToolButton *m_tbrMenu = nullptr;
    QCheckBox *m_chkOnTop = nullptr;
    std::array<QAction *, WindowCount> m_buttons {}; // the tools' buttons, by key
    double m_dragX = 0; // the pointer inside the button strip at the last press, in twips
    qint16 m_dragY = 0;
    QPoint m_grabOffset; // the grabbed point, relative to the window's top-left corner
};

// While the desktop shows no notification area the toolbar is the way into the program: show it
// (unless the splash is up; the splash hands over to it when it closes).
void keepToolBarWhileTrayMissing(frmQY2 &main);
