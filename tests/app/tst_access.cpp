#include "../support/tablerow.h"
#include "../support/testenvironment.h"

#include "app/frmqy2.h"
#include "app/tooltable.h"
#include "app/windows.h"
#include "common/settings.h"
#include "reminders/frmmissed.h"
#include "reminders/reminderbox.h"
#include "widgets/helpviewer.h"
#include "widgets/windowhelpers.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QtTest>
#include <memory>

// Every window of the program, opened through the one tool table, as a keyboard and screen-reader user
// meets it, and as the desktop frames it. A window whose factory is set in the table is checked here
// without further ado. Run offscreen and, by tst_access_wm, under a real window manager.
class TestAccess : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void everyControlIsNamed_data();
    void everyControlIsNamed();
    void tabReachesEveryControl_data();
    void tabReachesEveryControl();
    void windowsAreCentredOnTheirFrame_data();
    void windowsAreCentredOnTheirFrame();
    void negativeStoredEdgesStay();
    void windowsComeBackWhereLeft_data();
    void windowsComeBackWhereLeft();

private:
    QWidget *open(const QString &name);

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<frmQY2> m_main;
    QPointer<QWidget> m_delivery; // a delivery window opened outside the tool table
};

namespace {

// Set by the wrapper that starts a window manager: windows then have frames, and the tests wait for them.
bool framed()
{
    return qEnvironmentVariableIsSet("QY2_TEST_WINDOW_MANAGER");
}

void addWindowRows()
{
    QTest::addColumn<QString>("name");
    for (WindowKey key : unloadOrder()) {
        if (windowEntry(key).create)
            row(windowEntry(key).face.name, windowName(key));
    }
}

// The windows that reminders open on their own, outside the tool table, are walked too.
void addDeliveryRows()
{
    row("missed reminders", QStringLiteral("Missed"));
    row("reminder box", QStringLiteral("Box"));
}

QString spokenName(QObject *object)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(object);
    return face ? face->text(QAccessible::Name).trimmed() : QString();
}

// The control a user meets: the parts inside a spin box or a drop-down list are that control.
QWidget *perceived(QWidget *widget)
{
    QWidget *parent = widget->parentWidget();
    if (qobject_cast<QAbstractSpinBox *>(parent) || qobject_cast<QComboBox *>(parent))
        return parent;
    return widget;
}

QString describe(const QWidget *widget)
{
    return QStringLiteral("%1 \"%2\"").arg(QLatin1String(widget->metaObject()->className()), widget->objectName());
}

QStringList faults(QWidget *window)
{
    QStringList found;
    QSet<QWidget *> seen;
    const auto children = window->findChildren<QWidget *>();
    for (QWidget *child : children) {
        if (child->isWindow() || !child->isVisibleTo(window))
            continue;
        if (auto *label = qobject_cast<QLabel *>(child)) {
            if (!label->accessibleName().isEmpty())
                found << describe(label) + QStringLiteral(" hides its text behind the name \"")
                        + label->accessibleName() + u'"';
            continue;
        }
        const bool control = (child->focusPolicy() & Qt::TabFocus) || qobject_cast<QAbstractButton *>(child);
        QWidget *seenAs = perceived(child);
        if (!control || seen.contains(seenAs))
            continue;
        seen.insert(seenAs);
        if (spokenName(seenAs).isEmpty())
            found << describe(seenAs) + QStringLiteral(" has no name");
    }
    const auto menus = window->findChildren<QMenu *>();
    for (QMenu *menu : menus) {
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(menu);
        for (int i = 0; face && i < face->childCount(); ++i) {
            if (face->child(i)->role() != QAccessible::Separator && face->child(i)->text(QAccessible::Name).isEmpty())
                found << describe(menu) + QStringLiteral(" item %1 has no name").arg(i);
        }
    }
    return found;
}

// The controls a keyboard user should reach, each once, as a screen reader perceives them.
QList<QWidget *> tabStops(QWidget *window)
{
    QList<QWidget *> stops;
    const auto children = window->findChildren<QWidget *>();
    for (QWidget *child : children) {
        QWidget *seenAs = perceived(child);
        if (!child->isWindow() && child->isVisibleTo(window) && child->isEnabled()
            && (child->focusPolicy() & Qt::TabFocus) && !stops.contains(seenAs))
            stops << seenAs;
    }
    return stops;
}

// Tab, or Ctrl+Tab where a text box takes the Tab itself, from control to control: the stops met.
QList<QWidget *> walkByTab(QWidget *start, qsizetype steps)
{
    QList<QWidget *> met;
    start->setFocus(Qt::TabFocusReason);
    for (qsizetype i = 0; i < steps && QApplication::focusWidget(); ++i) {
        QWidget *here = QApplication::focusWidget();
        met << perceived(here);
        QTest::keyClick(here, Qt::Key_Tab);
        if (QApplication::focusWidget() == here)
            QTest::keyClick(here, Qt::Key_Tab, Qt::ControlModifier);
    }
    return met;
}

// A container is reached through the control inside it that takes its focus (a calendar's day table),
// and a group of option buttons is one stop, entered at its ticked button.
bool reached(QWidget *stop, const QList<QWidget *> &met)
{
    auto *option = qobject_cast<QRadioButton *>(stop);
    return std::any_of(met.cbegin(), met.cend(), [stop, option](QWidget *widget) {
        return widget == stop || stop->isAncestorOf(widget)
            || (option && option->autoExclusive() && qobject_cast<QRadioButton *>(widget)
                && widget->parentWidget() == stop->parentWidget());
    });
}

QPoint centred(const QRect &outer)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    return { screen.x() + (screen.width() - outer.width()) / 2, screen.y() + (screen.height() - outer.height()) / 2 };
}

bool near(QPoint a, QPoint b)
{
    return std::abs(a.x() - b.x()) <= 1 && std::abs(a.y() - b.y()) <= 1;
}

} // namespace

void TestAccess::initTestCase()
{
    QVERIFY(QApplication::primaryScreen());
}

void TestAccess::init()
{
    m_env = std::make_unique<TestEnvironment>();
    Settings::save(Key::ShowSplash, QStringLiteral("0"));
    m_main = std::make_unique<frmQY2>();
    registerWindows(*m_main);
}

void TestAccess::cleanup()
{
    delete m_delivery.data();
    m_main.reset();
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (qobject_cast<HelpViewer *>(window))
            delete window;
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_env.reset();
}

QWidget *TestAccess::open(const QString &name)
{
    if (name == QLatin1String("Help")) {
        ShowHelpTopic(nullptr, HelpDisplayTopic, 0);
        return HelpViewer::instance();
    }
    if (name == QLatin1String("Missed") || name == QLatin1String("Box")) {
        const QString record = QStringLiteral("202001010900000Tea");
        QWidget *window = nullptr;
        if (name == QLatin1String("Missed")) {
            auto *missed = new frmMissed(m_main->reminders());
            missed->addOccurrences({ { record, QDateTime(QDate(2020, 1, 1), QTime(9, 0)) } });
            window = missed;
        } else {
            window
                = new ReminderBox({ Message::Icon::Information, QStringLiteral("Reminder"), QStringLiteral("Tea") }, 1);
        }
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
        m_delivery = window;
        return window;
    }
    for (WindowKey key : unloadOrder()) {
        if (windowName(key) == name)
            return m_main->opener().show(key);
    }
    return nullptr;
}

void TestAccess::everyControlIsNamed_data()
{
    addWindowRows();
    addDeliveryRows();
    row("help viewer", QStringLiteral("Help"));
}

void TestAccess::everyControlIsNamed()
{
    QFETCH(QString, name);
    QWidget *window = open(name);
    QVERIFY(window);
    QVERIFY(QTest::qWaitForWindowExposed(window));

    const QAccessible::Role role = QAccessible::queryAccessibleInterface(window)->role();
    QVERIFY2(role == QAccessible::Window || role == QAccessible::Dialog, "a window reports itself as one");
    const QStringList found = faults(window);
    QVERIFY2(found.isEmpty(), qPrintable(found.join(QStringLiteral("; "))));
}

void TestAccess::tabReachesEveryControl_data()
{
    addWindowRows();
    addDeliveryRows();
}

void TestAccess::tabReachesEveryControl()
{
    QFETCH(QString, name);
    if (framed())
        QSKIP("the order of controls does not depend on the frame: checked offscreen");
    QWidget *window = open(name);
    QVERIFY(QTest::qWaitForWindowActive(window));
    const QList<QWidget *> stops = tabStops(window);
    if (stops.isEmpty())
        QSKIP("nothing to reach");
    const QList<QWidget *> met = walkByTab(stops.first(), 2 * stops.size() + 2);
    QStringList missed;
    for (QWidget *stop : stops) {
        if (!reached(stop, met))
            missed << describe(stop);
    }
    QVERIFY2(missed.isEmpty(), qPrintable(missed.join(QStringLiteral("; "))));
}

void TestAccess::windowsAreCentredOnTheirFrame_data()
{
    addWindowRows();
}

// With a fresh store every window that places itself is centred on its outer frame (the launcher
// toolbar only across, the pop-up menu not at all: it opens at the pointer); a window of a fixed size
// measures that size on its outer frame.
void TestAccess::windowsAreCentredOnTheirFrame()
{
    QFETCH(QString, name);
    if (name == QLatin1String("PopUp"))
        QSKIP("the pop-up menu opens at the pointer");
    const QHash<QString, QSize> fixedSizes
        = { { QStringLiteral("Options"), QSize(271, 271) }, { QStringLiteral("About"), QSize(362, 307) } };
    QWidget *window = open(name);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    if (framed() && !window->windowFlags().testFlag(Qt::FramelessWindowHint))
        QTRY_VERIFY(window->frameGeometry() != window->geometry());
    if (fixedSizes.contains(name)) {
        QTRY_COMPARE(window->frameGeometry().size(), fixedSizes.value(name));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QVERIFY(!window->windowFlags().testAnyFlags(Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    }

    const QRect outer = window->frameGeometry();
    const QPoint off = outer.topLeft() - centred(outer);
    QVERIFY2(std::abs(off.x()) <= 1 && (name == QLatin1String("ToolBar") || std::abs(off.y()) <= 1),
        qPrintable(QStringLiteral("off centre by %1, %2").arg(off.x()).arg(off.y())));
}

void TestAccess::negativeStoredEdgesStay()
{
    if (!framed())
        QSKIP("the headless platform frames a window only as it shows it: checked under the window manager");
    Settings::save(Key::OptionsLeft, QStringLiteral("-3000"));
    Settings::save(Key::OptionsTop, QStringLiteral("-450"));
    QWidget *options = open(QStringLiteral("Options"));
    QVERIFY(QTest::qWaitForWindowExposed(options));
    QTRY_VERIFY(options->frameGeometry() != options->geometry());
    QTRY_VERIFY2(near(options->frameGeometry().topLeft(), QPoint(-200, -30)),
        qPrintable(QStringLiteral("at %1,%2").arg(options->frameGeometry().x()).arg(options->frameGeometry().y())));
    options->close();
    QCOMPARE(Settings::get(Key::OptionsLeft), QStringLiteral("-3000"));
    QCOMPARE(Settings::get(Key::OptionsTop), QStringLiteral("-450"));
}

void TestAccess::windowsComeBackWhereLeft_data()
{
    addWindowRows();
}

// Each window that places itself stores its place, and its keep-on-top box where it has one, when it
// closes, and comes back as it was left.
void TestAccess::windowsComeBackWhereLeft()
{
    QFETCH(QString, name);
    if (name == QLatin1String("PopUp") || name == QLatin1String("Splash") || name == QLatin1String("About"))
        QSKIP("placed anew at each opening");
    if (framed())
        QSKIP("the stored place does not depend on the frame: checked offscreen");
    QPointer<QWidget> window = open(name);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const QPoint left = window->pos() + QPoint(30, 15);
    window->move(left);
    auto *onTop = window->findChild<QCheckBox *>(QStringLiteral("chkOnTop"));
    const bool ticked = onTop && !onTop->isChecked();
    if (onTop)
        onTop->click();
    window->close();
    QTRY_VERIFY(!window); // unloaded: the next opening is a new window that reads its place
    window = open(name);
    QCOMPARE(window->pos(), left);
    if (onTop) {
        QCOMPARE(window->findChild<QCheckBox *>(QStringLiteral("chkOnTop"))->isChecked(), ticked);
        QCOMPARE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint), ticked);
    }
}

QTEST_MAIN(TestAccess)
#include "tst_access.moc"
