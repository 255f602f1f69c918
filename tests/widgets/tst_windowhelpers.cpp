#include "../support/tablerow.h"
#include "../support/testenvironment.h"

#include "common/settings.h"
#include "widgets/dialogs.h"
#include "widgets/helpviewer.h"
#include "widgets/iconcachestyle.h"
#include "widgets/rolloverhints.h"
#include "widgets/windowhelpers.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>
#include <memory>

// Placement restore, the keep-on-top box, roll-over hints, failed writes and the help viewer.
class TestWindowHelpers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void placeWindow_data();
    void placeWindow();
    void restoreAndSavePlacement();
    void keepOnTopBox_data();
    void keepOnTopBox();
    void rolloverHints();
    void failedWriteIsTold();
    void ownerEndsWhileItsBoxIsOpen_data();
    void ownerEndsWhileItsBoxIsOpen();
    void iconCacheStyleChangesNothingSeen();
    void helpTopics_data();
    void helpTopics();

private:
    std::unique_ptr<TestEnvironment> m_env;
};

using OptDouble = std::optional<double>;

void TestWindowHelpers::placeWindow_data()
{
    columns<OptDouble, OptDouble, OptDouble, QPointF>("left", "top", "fallbackTop", "expected");

    // screen 12000 x 9000 twips, window 3000 x 2000: centred at (4500, 3500)
    const OptDouble none;
    row("fresh store: centred", none, none, none, QPointF(4500, 3500));
    row("stored place kept", OptDouble(100), OptDouble(200), none, QPointF(100, 200));
    row("right of the screen: centred", OptDouble(12001), OptDouble(200), none, QPointF(4500, 3500));
    row("below the screen: centred", OptDouble(100), OptDouble(9001), none, QPointF(4500, 3500));
    row("exactly at the edge stays", OptDouble(12000), OptDouble(9000), none, QPointF(12000, 9000));
    row("partly off the screen stays", OptDouble(11000), OptDouble(8500), none, QPointF(11000, 8500));
    row("negative kept", OptDouble(-600), OptDouble(-30), none, QPointF(-600, -30));
    row("only left stored", OptDouble(150), none, none, QPointF(150, 3500));
    row("toolbar: top default", none, OptDouble(100), OptDouble(100), QPointF(4500, 100));
    row("toolbar: below the screen", OptDouble(10), OptDouble(9500), OptDouble(100), QPointF(4500, 100));
}

void TestWindowHelpers::placeWindow()
{
    auto [left, top, fallbackTop] = fetch<OptDouble, OptDouble, OptDouble>("left", "top", "fallbackTop");
    QTEST(::placeWindow(left, top, QSizeF(3000, 2000), QSizeF(12000, 9000), fallbackTop), "expected");
}

void TestWindowHelpers::restoreAndSavePlacement()
{
    // Where a fresh store places a window is the rule's table above and the access test's centring.
    QWidget window;
    window.move(33, 44);
    savePlacement(&window, Key::CalculatorLeft, Key::CalculatorTop);
    QCOMPARE(Settings::get(Key::CalculatorLeft), QStringLiteral("495"));
    QCOMPARE(Settings::get(Key::CalculatorTop), QStringLiteral("660"));

    QWidget again;
    again.resize(200, 100);
    restorePlacement(&again, Key::CalculatorLeft, Key::CalculatorTop);
    QCOMPARE(again.pos(), QPoint(33, 44));
}

void TestWindowHelpers::keepOnTopBox_data()
{
    columns<QString, bool>("stored", "onTop");
    row("absent: default 0", QString(), false);
    row("stored 1", QStringLiteral("1"), true);
}

void TestWindowHelpers::keepOnTopBox()
{
    auto [stored, onTop] = fetch<QString, bool>("stored", "onTop");
    if (!stored.isNull())
        Settings::save(Key::ClipOnTop, stored);

    QWidget window;
    auto *box = new QCheckBox(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    bindKeepOnTop(box, &window, Key::ClipOnTop);
    QCOMPARE(box->isChecked(), onTop);
    QCOMPARE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint), onTop);
    QVERIFY(window.isVisible()); // changing the stacking never hides the window

    box->click();
    QCOMPARE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint), !onTop);
    QCOMPARE(window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint), !onTop);
    QVERIFY(window.isVisible());
    saveKeepOnTop(box, Key::ClipOnTop);
    QCOMPARE(Settings::get(Key::ClipOnTop), onTop ? QStringLiteral("0") : QStringLiteral("1"));

    // A window that is not shown yet takes the flag too and stays hidden.
    QWidget hidden;
    QVERIFY(SetWindowOnTop(&hidden, 1));
    QVERIFY(hidden.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!hidden.isVisible());
    SetWindowOnTop(&hidden, 2);
    QVERIFY(!hidden.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

void TestWindowHelpers::rolloverHints()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *frame = new QWidget(&window);
    auto *inner = new QPushButton(QStringLiteral("inner"), frame);
    auto *plain = new QPushButton(QStringLiteral("plain"), &window);
    auto *panel = new QLabel(&window);
    layout->addWidget(frame);
    layout->addWidget(plain);
    layout->addWidget(panel);
    RolloverHints hints(panel);
    hints.attach(frame, QStringLiteral("frame hint"));
    hints.attach(inner, QStringLiteral("inner hint"));

    QEvent enter(QEvent::Enter);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(frame, &enter);
    QCOMPARE(panel->text(), QStringLiteral("frame hint"));
    QCoreApplication::sendEvent(inner, &enter);
    QCOMPARE(panel->text(), QStringLiteral("inner hint"));
    QCoreApplication::sendEvent(inner, &leave); // back onto the frame around it
    QCOMPARE(panel->text(), QStringLiteral("frame hint"));
    QCoreApplication::sendEvent(frame, &leave); // onto the bare window
    QCOMPARE(panel->text(), QString());
    QCoreApplication::sendEvent(plain, &enter); // a control without a hint changes nothing
    QCOMPARE(panel->text(), QString());
    QCOMPARE(hints.hint(inner), QStringLiteral("inner hint"));
}

void TestWindowHelpers::failedWriteIsTold()
{
    const QString target = m_env->dataPath(QStringLiteral("todo.dat"));
    QVERIFY(QDir().mkpath(target)); // a folder where the file should be: the write cannot be done
    QVERIFY(!Dialogs::writeTextFile(target, QStringLiteral("keep me")));
    QCOMPARE(m_env->dialogs.shown.size(), 1);
    const Message shown = m_env->dialogs.shown.first();
    QVERIFY(shown.title.startsWith(QStringLiteral("Quillory2: ")));
    QCOMPARE(shown.icon, Message::Icon::Exclamation);
    QVERIFY(shown.text.contains(QDir::toNativeSeparators(target)));

    QVERIFY(Dialogs::writeTextFile(m_env->dataPath(QStringLiteral("ok.txt")), QStringLiteral("fine")));
    QCOMPARE(m_env->dialogs.shown.size(), 1);
}

void TestWindowHelpers::ownerEndsWhileItsBoxIsOpen_data()
{
    QTest::addColumn<int>("kind");
    row("message", 0);
    row("question", 1);
    row("save question", 2);
}

// The program ends (a signal, logout) while a window's message box is open: the window is deleted
// and its box with it. Nothing is freed twice, and no question counts as answered.
void TestWindowHelpers::ownerEndsWhileItsBoxIsOpen()
{
    QFETCH(int, kind);
    Dialogs::record(nullptr); // real boxes
    auto *owner = new QWidget;
    owner->show();
    QTimer::singleShot(0, owner, [owner] {
        QVERIFY(owner->findChild<QMessageBox *>(QStringLiteral("messageBox")));
        delete owner;
    });
    const Message message { Message::Icon::Question, QStringLiteral("Quillory2"), QStringLiteral("Delete it?") };
    if (kind == 0)
        Dialogs::show(message, owner);
    else if (kind == 1)
        QCOMPARE(Dialogs::ask(message, owner), false);
    else
        QCOMPARE(Dialogs::askSave(message, owner), Dialogs::Choice::Cancel);
    Dialogs::record(&m_env->dialogs);
}

// The style put over the application's keeps its look (name, palette, icons) and makes an icon once.
void TestWindowHelpers::iconCacheStyleChangesNothingSeen()
{
    const QString name = QApplication::style()->name();
    const QPalette palette = QApplication::palette();
    const QImage arrow = QApplication::style()->standardIcon(QStyle::SP_ArrowLeft).pixmap(16).toImage();
    IconCacheStyle::install();
    auto *style = qobject_cast<IconCacheStyle *>(QApplication::style());
    QVERIFY(style);
    QCOMPARE(style->baseStyle()->name(), name);
    QCOMPARE(QApplication::palette(), palette);
    const QIcon first = QApplication::style()->standardIcon(QStyle::SP_ArrowLeft);
    QCOMPARE(first.pixmap(16).toImage(), arrow);
    QCOMPARE(QApplication::style()->standardIcon(QStyle::SP_ArrowLeft).cacheKey(), first.cacheKey());
    QLabel rightToLeft;
    rightToLeft.setLayoutDirection(Qt::RightToLeft);
    QVERIFY(QApplication::style()->standardIcon(QStyle::SP_ArrowBack, nullptr, &rightToLeft).cacheKey()
        != QApplication::style()->standardIcon(QStyle::SP_ArrowBack).cacheKey());
}

void TestWindowHelpers::helpTopics_data()
{
    columns<int, int, QString, QString>("command", "contextId", "page", "title");
    const QString index = QStringLiteral("Quillory2 Help");
    row("default topic", HelpDisplayTopic, 0, "index.html", index);
    row("a registered topic", HelpContext, 1028, "reminders.html", "Reminders - Quillory2 Help");
    row("unknown id", HelpContext, 4711, "index.html", index);
    row("default command ignores the id", HelpDisplayTopic, 1028, "index.html", index);
}

void TestWindowHelpers::helpTopics()
{
    auto [command, contextId, page] = fetch<int, int, QString>("command", "contextId", "page");
    HelpViewer::addPage(1028, QStringLiteral("reminders.html"));
    ShowHelpTopic(nullptr, command, contextId);
    HelpViewer *viewer = HelpViewer::instance();
    QVERIFY(viewer->isVisible());
    auto *browser = viewer->findChild<QTextBrowser *>(QStringLiteral("txtHelp"));
    QVERIFY(browser);
    QCOMPARE(browser->source().fileName(), page);
    QVERIFY(!browser->toPlainText().trimmed().isEmpty()); // the page is built into the program
    QTEST(viewer->windowTitle(), "title");
    QApplication::setActiveWindow(viewer);
    QTest::keyClick(browser, Qt::Key_Escape);
    QVERIFY(!viewer->isVisible());
}

QTEST_MAIN(TestWindowHelpers)
#include "tst_windowhelpers.moc"
