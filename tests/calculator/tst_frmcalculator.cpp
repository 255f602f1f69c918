#include "../support/tablerow.h"
#include "../support/testenvironment.h"
#include "../support/widgetlookup.h"

#include "calculator/frmcalculator.h"
#include "widgets/dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>
#include <memory>

class TestFrmCalculator : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void keysByMouseAndKeyboard();
    void typedKeysReachTheEngineWhateverHasTheFocus_data();
    void typedKeysReachTheEngineWhateverHasTheFocus();
    void slotPressesByButton();
    void readoutClickCopies();
    void divideByZeroBoxClosesWithReturn();

private:
    QWidget *control(const QString &name) const { return child<QWidget>(m_window.get(), name); }
    QString readout() const { return child<QLabel>(m_window.get(), "lblReadout")->text(); }
    // Types characters into whatever control has the focus ("\x1b" is Escape).
    void type(const char *keys)
    {
        for (; *keys; ++keys)
            QTest::keyClick(QApplication::focusWidget(), *keys);
    }

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<frmCalculator> m_window;
};

void TestFrmCalculator::init()
{
    m_env = std::make_unique<TestEnvironment>();
    m_window = std::make_unique<frmCalculator>();
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestFrmCalculator::cleanup()
{
    m_window.reset();
    m_env.reset();
}

// The engine's own test holds the whole key table; this proves that every kind of key reaches it by
// mouse and by keyboard, and that the focus goes back to "=".
void TestFrmCalculator::keysByMouseAndKeyboard()
{
    for (const char *key : { "Number1", "Number2", "Decimal", "Number5", "Operator2", "Number4", "Percent", "Operator3",
             "Number1", "CancelEntry", "Number3", "Operator4", "Operator0", "Number5", "Operator4" })
        QTest::mouseClick(control(QLatin1String(key)), Qt::LeftButton);
    QCOMPARE(readout(), QStringLiteral("-0.5"));
    QTest::mouseClick(control(QStringLiteral("Cancel")), Qt::LeftButton);
    QCOMPARE(readout(), QStringLiteral("0."));
    type("12.5*4%-1c3=/5=");
    QCOMPARE(readout(), QStringLiteral("-0.5"));
    type("\x1b");
    QCOMPARE(readout(), QStringLiteral("0."));
    QCOMPARE(QApplication::focusWidget(), control(QStringLiteral("Operator4")));
}

void TestFrmCalculator::typedKeysReachTheEngineWhateverHasTheFocus_data()
{
    columns<QString, int, QString, int>("focused", "key", "text", "modifiers");
    QTest::addColumn<QString>("readout"); // after 5 + 3, the key, 2 and Return

    // What each key stands for is the engine's table; these rows prove that a keypad key reaches it,
    // that neither Space (on the focused "=") nor Ctrl+C is a key, and that the window sees every key first.
    row("keypad digit", "Operator4", int(Qt::Key_1), "1", int(Qt::KeypadModifier), "317.");
    row("Space does not press the focused =", "Operator4", int(Qt::Key_Space), " ", 0, "37.");
    row("Ctrl+C is no key of the calculator", "Operator4", int(Qt::Key_C), "c", int(Qt::ControlModifier), "37.");
    row("keep-on-top box", "chkOnTop", int(Qt::Key_1), "1", 0, "317.");
    row("operator key", "Operator1", int(Qt::Key_1), "1", 0, "317.");
    row("the window itself", "frmCalculator", int(Qt::Key_1), "1", 0, "317.");
    row("a text box that takes characters", "txtAdded", int(Qt::Key_1), "1", 0, "317.");
}

void TestFrmCalculator::typedKeysReachTheEngineWhateverHasTheFocus()
{
    auto [focused, key, text, modifiers] = fetch<QString, int, QString, int>("focused", "key", "text", "modifiers");
    if (focused == QLatin1String("txtAdded")) {
        // A control added later that would take every character itself.
        auto *box = new QLineEdit(m_window->findChild<QFrame *>(QStringLiteral("fraCalc")));
        box->setObjectName(focused);
        box->show();
    }
    QWidget *target = focused == QLatin1String("frmCalculator") ? m_window.get() : control(focused);
    const auto send = [target](int code, const QString &typed, int with) {
        target->setFocus();
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key(code), typed, Qt::KeyboardModifiers(with));
    };
    for (QChar c : QStringLiteral("5+3"))
        send(c.unicode(), c, 0);
    send(key, text, modifiers);
    send(Qt::Key_2, QStringLiteral("2"), 0);
    send(Qt::Key_Return, QStringLiteral("\r"), 0);
    QTEST(readout(), "readout");
    QCOMPARE(QApplication::focusWidget(), control(QStringLiteral("Operator4")));
    QCOMPARE(child<QCheckBox>(m_window.get(), "chkOnTop")->isChecked(), false);
    if (auto *box = qobject_cast<QLineEdit *>(target))
        QCOMPARE(box->text(), QString());
}

// Which button stores and which recalls; what a slot holds is the engine's test.
void TestFrmCalculator::slotPressesByButton()
{
    auto *slot = child<QLabel>(m_window.get(), "lblDisplay3");
    type("10/3=");
    QTest::mousePress(slot, Qt::RightButton); // stores at button-down already
    QCOMPARE(slot->text(), QStringLiteral("3.333333"));
    QTest::mouseRelease(slot, Qt::RightButton);

    for (Qt::MouseButton button : { Qt::LeftButton, Qt::MiddleButton }) {
        type("\x1b");
        QTest::mousePress(slot, button);
        QCOMPARE(readout(), QStringLiteral("3.333333"));
        QTest::mouseRelease(slot, button);
    }
}

void TestFrmCalculator::readoutClickCopies()
{
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before")); // the platform has a clipboard
    type("12.5");
    QTest::mouseClick(control(QStringLiteral("lblReadout")), Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("12.5"));
    QCOMPARE(readout(), QStringLiteral("12.5"));
    QCOMPARE(QApplication::focusWidget(), control(QStringLiteral("Operator4")));
}

// The real box: its keys are its own, not the calculator's. It comes up before the result is shown.
void TestFrmCalculator::divideByZeroBoxClosesWithReturn()
{
    Dialogs::record(nullptr);
    QString readoutWhileShown;
    int checksAfterPress = 0;
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
        QWidget *box = QApplication::activeModalWidget();
        QWidget *focus = QApplication::focusWidget();
        // the key goes where a user's key would go, once the box has taken the focus
        if (box && readoutWhileShown.isEmpty() && box->isAncestorOf(focus)) {
            readoutWhileShown = readout();
            QTest::keyClick(focus, Qt::Key_Return);
        } else if (box && ++checksAfterPress > 500) {
            box->close(); // no focus or the key did not reach it: end the box so that the test can fail
        }
    });
    poll.start(10);
    type("5/0=");
    Dialogs::record(&m_env->dialogs);
    QCOMPARE(readoutWhileShown, QStringLiteral("0."));
    QVERIFY2(checksAfterPress <= 500, "the box took no focus or Return did not close it");
    QCOMPARE(readout(), QStringLiteral("5."));
}

QTEST_MAIN(TestFrmCalculator)
#include "tst_frmcalculator.moc"
