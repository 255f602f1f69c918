#include "app/frmpopupmenu.h"

#include "app/frmqy2.h"
#include "app/tooltable.h"
#include "widgets/helpviewer.h"
#include "widgets/keyboardaccess.h"
#include "widgets/windowhelpers.h"

#include <QAction>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

QPointF popUpMenuPosition(QPointF pointer, QSizeF menu, QRectF screen)
{
    const QPointF middle = screen.center();
    const double left = pointer.x() < middle.x() ? pointer.x() : pointer.x() - menu.width();
    const double top = pointer.y() < middle.y() ? pointer.y() : pointer.y() - menu.height();
    return { left, top };
}

frmPopUpMenu::frmPopUpMenu(frmQY2 &main, QWidget *parent)
    : QFrame(parent, Qt::Tool | Qt::FramelessWindowHint)
    , m_main(main)
{
    setObjectName(QStringLiteral("frmPopUpMenu"));
    setWindowTitle(tr("Quillory2"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);

    buildButtons();
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(1, 1, 1, 1);
    column->addWidget(m_toolbar1);

    // Inside 1530 x 3015 twips, or what the captions need at the desktop's font size.
    const QSize inside(
        int(std::lround(InsideWidthTwips / TwipsPerPixel)), int(std::lround(InsideHeightTwips / TwipsPerPixel)));
    setFixedSize(inside.expandedTo(sizeHint()));

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(TickInterval);
    connect(m_timer1, &QTimer::timeout, this, &frmPopUpMenu::Timer1_Timer);

    m_popUpTicks = 1;
    SetWindowOnTop(this, 1);
    placeAtPointer();
    m_timer1->start();
}

void frmPopUpMenu::buildButtons()
{
    m_toolbar1 = new QToolBar(this);
    m_toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar1->setOrientation(Qt::Vertical);
    m_toolbar1->setMovable(false);
    m_toolbar1->setFloatable(false);
    m_toolbar1->setIconSize(QSize(16, 16));
    m_toolbar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    // Top to bottom: the seven tools, Find, Help, and About with its drop-down of Options and Exit.
    for (WindowKey key : launcherKeys())
        addWindowButton(key);
    QAction *help = addButton(commandEntry(Command::Help).face, buttonIcon(Command::Help));
    connect(help, &QAction::triggered, this, [this] { Toolbar1_HelpClick(); });
    QAction *about = addWindowButton(WindowKey::About);

    auto *dropDown = new QMenu(this);
    m_dropDown = dropDown;
    dropDown->setObjectName(QStringLiteral("mnuAbout"));
    QAction *options
        = dropDown->addAction(buttonIcon(WindowKey::Options), buttonText(windowEntry(WindowKey::Options).face.caption));
    options->setObjectName(windowName(WindowKey::Options));
    connect(options, &QAction::triggered, this, [this] { m_main.opener().show(WindowKey::Options); }); // the menu stays
    QAction *exit
        = dropDown->addAction(buttonIcon(Command::Exit), buttonText(commandEntry(Command::Exit).face.caption));
    exit->setObjectName(QLatin1String(commandEntry(Command::Exit).face.name));
    connect(exit, &QAction::triggered, this, [this] {
        // The shutdown unloads this menu too: let the click that chose Exit finish first.
        QMetaObject::invokeMethod(&m_main, &frmQY2::requestExit, Qt::QueuedConnection);
    });
    // The button itself holds the drop-down, so that screen readers find it as the button's child.
    if (auto *aboutButton = qobject_cast<QToolButton *>(m_toolbar1->widgetForAction(about))) {
        aboutButton->setMenu(dropDown);
        aboutButton->setPopupMode(QToolButton::MenuButtonPopup);
    }

    connect(&m_main.opener(), &WindowOpener::registered, this, &frmPopUpMenu::enableRegistered);
    alignButtons();
    focusToolBarButtons(m_toolbar1);
    for (QAction *action : m_toolbar1->actions())
        m_toolbar1->widgetForAction(action)->installEventFilter(this);
}

void frmPopUpMenu::alignButtons()
{
    // One width for all, so that icons and captions line up on the left of the column.
    int width = int(std::lround(InsideWidthTwips / TwipsPerPixel)) - 2 * (frameWidth() + 1);
    const auto buttons = m_toolbar1->actions();
    for (QAction *action : buttons)
        width = std::max(width, m_toolbar1->widgetForAction(action)->sizeHint().width());
    for (QAction *action : buttons)
        m_toolbar1->widgetForAction(action)->setMinimumWidth(width);
}

QAction *frmPopUpMenu::addButton(const ButtonFace &face, const QIcon &icon)
{
    const QString caption = buttonText(face.caption);
    const QString key = QLatin1String(face.name);
    QAction *action = m_toolbar1->addAction(icon, caption);
    action->setObjectName(key);
    // An explicit icon text keeps the "&" on the button, which makes it the access key.
    action->setIconText(caption);
    action->setToolTip(QString(caption).remove(QLatin1Char('&')));
    if (QWidget *button = m_toolbar1->widgetForAction(action))
        button->setObjectName(QStringLiteral("Toolbar1_") + key);
    return action;
}

QAction *frmPopUpMenu::addWindowButton(WindowKey key)
{
    QAction *action = addButton(windowEntry(key).face, buttonIcon(key));
    action->setEnabled(m_main.opener().isRegistered(key));
    action->setToolTip(buttonToolTip(key, action->isEnabled()));
    connect(action, &QAction::triggered, this, [this, key] { Toolbar1_ButtonClick(key); });
    m_buttons[size_t(key)] = action;
    return action;
}

void frmPopUpMenu::enableRegistered(WindowKey key)
{
    if (QAction *action = m_buttons[size_t(key)]) {
        action->setEnabled(true);
        action->setToolTip(buttonToolTip(key, true));
    }
}

void frmPopUpMenu::placeAtPointer()
{
    const QPoint pointer = QCursor::pos();
    const QScreen *screen = QGuiApplication::screenAt(pointer);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRectF screenTwips = screen
        ? QRectF(screen->geometry().topLeft() * TwipsPerPixel, QSizeF(screen->geometry().size()) * TwipsPerPixel)
        : QRectF(QPointF(), screenSizeTwips());
    const QPointF pointerTwips(pointer.x() * TwipsPerPixel, std::round(pointer.y() * TwipsPerPixel));
    moveToTwips(this, popUpMenuPosition(pointerTwips, outerSizeTwips(this), screenTwips));
}

void frmPopUpMenu::Timer1_Timer()
{
    // An open drop-down is the user's choice in progress: the menu closes at the tick after it.
    if (m_popUpTicks >= m_main.popUpDelay() && !m_dropDown->isVisible()) {
        close();
        return;
    }
    ++m_popUpTicks;
}

void frmPopUpMenu::Toolbar1_ButtonClick(WindowKey key)
{
    m_main.opener().show(key);
    hide();
    close();
}

void frmPopUpMenu::Toolbar1_HelpClick()
{
    ShowHelpTopic(this, HelpDisplayTopic, 0);
    hide();
    close();
}

void frmPopUpMenu::showEvent(QShowEvent *event)
{
    QFrame::showEvent(event);
    activateWindow();
    for (QAction *action : m_toolbar1->actions()) {
        if (action->isEnabled()) {
            m_toolbar1->widgetForAction(action)->setFocus(Qt::PopupFocusReason);
            break;
        }
    }
}

void frmPopUpMenu::keyPressEvent(QKeyEvent *event)
{
    if (!menuKey(event))
        QFrame::keyPressEvent(event);
}

bool frmPopUpMenu::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && menuKey(static_cast<QKeyEvent *>(event)))
        return true;
    return QFrame::eventFilter(watched, event);
}

bool frmPopUpMenu::menuKey(const QKeyEvent *event)
{
    m_popUpTicks = 1;
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    QWidget *focused = focusWidget();
    if (modifiers == Qt::NoModifier) {
        switch (key) {
        case Qt::Key_Escape: close(); return true;
        case Qt::Key_Up: moveFocus(false); return true;
        case Qt::Key_Down: moveFocus(true); return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (auto *button = qobject_cast<QToolButton *>(focused))
                button->animateClick();
            return true;
        default: break;
        }
    }
    const bool dropDownKey = (key == Qt::Key_Down && modifiers == Qt::AltModifier)
        || (modifiers == Qt::NoModifier && (key == Qt::Key_F4 || key == Qt::Key_Menu));
    if (dropDownKey && focused && focused == m_toolbar1->widgetForAction(m_buttons[size_t(WindowKey::About)])) {
        showAboutDropDown();
        return true;
    }
    return pressAccessKey(this, event);
}

void frmPopUpMenu::moveFocus(bool down)
{
    // Round the column, over the buttons that can be used.
    const auto buttons = m_toolbar1->actions();
    const int count = int(buttons.size());
    int at = down ? -1 : 0;
    for (int i = 0; i < count; ++i) {
        if (m_toolbar1->widgetForAction(buttons.at(i)) == focusWidget())
            at = i;
    }
    for (int step = 0; step < count; ++step) {
        at = (at + (down ? 1 : count - 1)) % count;
        if (buttons.at(at)->isEnabled()) {
            m_toolbar1->widgetForAction(buttons.at(at))->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void frmPopUpMenu::showAboutDropDown()
{
    // Opened from the keyboard, the drop-down starts on its first item, as desktop menus do.
    QTimer::singleShot(0, m_dropDown, [this] { m_dropDown->setActiveAction(m_dropDown->actions().constFirst()); });
    if (auto *about = qobject_cast<QToolButton *>(m_toolbar1->widgetForAction(m_buttons[size_t(WindowKey::About)])))
        about->showMenu();
}
