#include "app/frmtoolbar.h"

#include "app/frmqy2.h"
#include "app/tooltable.h"
#include "common/settings.h"
#include "widgets/accessiblenames.h"
#include "widgets/dialogs.h"
#include "widgets/keyboardaccess.h"
#include "widgets/windowhelpers.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

namespace {

constexpr int StripIconSize = 24;

} // namespace

frmToolBar::frmToolBar(frmQY2 &main, QWidget *parent)
    : QFrame(parent, Qt::Tool | Qt::FramelessWindowHint)
    , m_main(main)
{
    setObjectName(QStringLiteral("frmToolBar"));
    setWindowTitle(tr("Quillory2"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);

    buildStrip();

    m_tbrHide = new QToolButton(this);
    m_tbrHide->setObjectName(QStringLiteral("tbrHide"));
    m_tbrHide->setAutoRaise(true);
    m_tbrHide->setIcon(buttonIcon(Command::Hide));
    m_tbrHide->setIconSize(QSize(12, 12));
    m_tbrHide->setToolTip(buttonText(commandEntry(Command::Hide).face.toolTip));
    nameFromToolTip(m_tbrHide);
    connect(m_tbrHide, &QToolButton::clicked, this, &frmToolBar::tbrHide_Click);

    m_chkOnTop = new QCheckBox(this);
    m_chkOnTop->setObjectName(QStringLiteral("chkOnTop"));
    m_chkOnTop->setToolTip(tr("Keep on top"));
    nameFromToolTip(m_chkOnTop);

    m_tbrMenu = new QToolButton(this);
    m_tbrMenu->setObjectName(QStringLiteral("tbrMenu"));
    m_tbrMenu->setAutoRaise(true);
    m_tbrMenu->setIcon(buttonIcon(Command::Menu));
    m_tbrMenu->setIconSize(QSize(StripIconSize, StripIconSize));
    m_tbrMenu->setToolTip(buttonText(commandEntry(Command::Menu).face.toolTip));
    nameFromToolTip(m_tbrMenu);
    connect(m_tbrMenu, &QToolButton::clicked, this, [this] { m_main.opener().show(WindowKey::PopUpMenu); });

    auto *rightEnd = new QVBoxLayout;
    rightEnd->setContentsMargins(0, 0, 0, 0);
    rightEnd->setSpacing(0);
    rightEnd->addWidget(m_tbrHide, 0, Qt::AlignHCenter);
    rightEnd->addWidget(m_chkOnTop, 0, Qt::AlignHCenter);

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(2, 1, 2, 1);
    row->setSpacing(2);
    row->addWidget(m_tbrToolbar1);
    row->addStretch(1);
    row->addLayout(rightEnd);
    row->addWidget(m_tbrMenu);
    // Tab goes along the strip, then to the buttons at the right end.
    const QList<QAction *> tools = m_tbrToolbar1->actions();
    setTabOrder(m_tbrToolbar1->widgetForAction(tools.last()), m_tbrHide);
    setTabOrder(m_tbrHide, m_tbrMenu);
    setTabOrder(m_tbrMenu, m_chkOnTop);

    showTrayMissing(m_main.isTrayMissing());
    connect(&m_main, &frmQY2::trayMissingChanged, this, &frmToolBar::showTrayMissing);

    // Height fixed at 660 twips; the inside is 4440 twips wide unless the buttons need more.
    m_tbrToolbar1->setMinimumWidth(m_tbrToolbar1->sizeHint().width());
    const int height = int(std::lround(HeightTwips / TwipsPerPixel));
    const int width = int(std::lround(InsideWidthTwips / TwipsPerPixel));
    setFixedSize(QSize(width, height).expandedTo(QSize(minimumSizeHint().width(), height)));

    restorePlacement(this, Key::ToolBarLeft, Key::ToolBarTop, DefaultTopTwips);
    bindKeepOnTop(m_chkOnTop, this, Key::ToolBarOnTop);
}

void frmToolBar::buildStrip()
{
    m_tbrToolbar1 = new QToolBar(this);
    m_tbrToolbar1->setObjectName(QStringLiteral("tbrToolbar1"));
    m_tbrToolbar1->setMovable(false);
    m_tbrToolbar1->setFloatable(false);
    m_tbrToolbar1->setIconSize(QSize(StripIconSize, StripIconSize));
    m_tbrToolbar1->setToolButtonStyle(Qt::ToolButtonIconOnly);

    const WindowOpener &opener = m_main.opener();
    for (WindowKey key : launcherKeys()) {
        QAction *action = m_tbrToolbar1->addAction(buttonIcon(key), buttonText(windowEntry(key).face.toolTip));
        action->setObjectName(windowName(key));
        action->setToolTip(buttonToolTip(key, opener.isRegistered(key)));
        action->setEnabled(opener.isRegistered(key));
        connect(action, &QAction::triggered, this, [this, key] { tbrToolbar1_ButtonClick(key); });
        m_buttons[size_t(key)] = action;
    }
    connect(&opener, &WindowOpener::registered, this, &frmToolBar::enableRegistered);
    nameToolBarButtons(m_tbrToolbar1);
    focusToolBarButtons(m_tbrToolbar1);
    watchStripMouse();
}

void frmToolBar::watchStripMouse()
{
    m_tbrToolbar1->installEventFilter(this);
    for (QAction *action : m_tbrToolbar1->actions()) {
        if (QWidget *button = m_tbrToolbar1->widgetForAction(action))
            button->installEventFilter(this);
    }
}

void frmToolBar::enableRegistered(WindowKey key)
{
    if (QAction *action = m_buttons[size_t(key)]) {
        action->setEnabled(true);
        action->setToolTip(buttonToolTip(key, true));
    }
}

void frmToolBar::showTrayMissing(bool missing)
{
    // Without a notification area the toolbar must not be hidden away, and it leads to the menu.
    m_tbrHide->setVisible(!missing);
    m_tbrMenu->setVisible(missing);
}

void frmToolBar::tbrToolbar1_ButtonClick(WindowKey key)
{
    m_main.opener().show(key);
}

void frmToolBar::tbrToolbar1_MouseDown(QPoint stripPos, QPoint globalPos)
{
    m_dragX = stripPos.x() * TwipsPerPixel;
    m_dragY = qint16(std::lround(stripPos.y() * TwipsPerPixel));
    m_grabOffset = globalPos - pos();
}

void frmToolBar::tbrToolbar1_MouseMove(QPoint globalPos)
{
    // Left edge + x - DragX, top edge + y - DragY: the grabbed point stays under the pointer. Taken
    // from the pointer's screen position, so a move the window system has not confirmed yet cannot
    // make the toolbar jump.
    move(globalPos - m_grabOffset);
}

void frmToolBar::tbrHide_Click()
{
    close();
}

bool frmToolBar::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease
        && type != QEvent::MouseButtonDblClick)
        return QFrame::eventFilter(watched, event);

    auto *mouse = static_cast<QMouseEvent *>(event);
    const QPoint globalPos = mouse->globalPosition().toPoint();
    if (type == QEvent::MouseButtonPress) {
        auto *widget = static_cast<QWidget *>(watched);
        tbrToolbar1_MouseDown(widget->mapTo(m_tbrToolbar1, mouse->position().toPoint()), globalPos);
        return mouse->button() == Qt::RightButton; // the right button only drags
    }
    if (type == QEvent::MouseMove && mouse->buttons().testFlag(Qt::RightButton)) {
        tbrToolbar1_MouseMove(globalPos);
        return true;
    }
    return mouse->button() == Qt::RightButton;
}

void frmToolBar::closeEvent(QCloseEvent *event)
{
    // Without a notification area nothing else on screen leads back into the program: closing the
    // toolbar (Alt+F4, say) would strand it. Ask, unless the program is ending anyway.
    if (m_main.isTrayMissing() && !m_main.opener().isClosing() && !m_main.isUnloaded() && Dialogs::canAsk()) {
        event->ignore();
        const Message question { Message::Icon::Question, tr("Quillory2"),
            tr("Your desktop shows no notification area, so the toolbar is the only way into Quillory2.\n\n"
               "Do you want to end Quillory2?") };
        if (Dialogs::ask(question, this))
            QMetaObject::invokeMethod(&m_main, &frmQY2::requestExit, Qt::QueuedConnection);
        return;
    }
    savePlacement(this, Key::ToolBarLeft, Key::ToolBarTop);
    saveKeepOnTop(m_chkOnTop, Key::ToolBarOnTop);
    event->accept();
}

void keepToolBarWhileTrayMissing(frmQY2 &main)
{
    QObject::connect(&main, &frmQY2::trayMissingChanged, &main, [&main](bool missing) {
        if (missing && !main.opener().window(WindowKey::Splash))
            main.opener().show(WindowKey::ToolBar);
    });
}
