#include "../support/tablerow.h"
#include "../support/testenvironment.h"
#include "../support/widgetlookup.h"

#include "calculator/frmcalculator.h"
#include "common/settings.h"
#include "widgets/dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>
#include <cmath>
#include <memory>

namespace {

// The button of each key in a key table.
QString buttonName(const QString &key)
{
    static const QHash<QString, QString> names = {
        { QStringLiteral("."), QStringLiteral("Decimal") },
        { QStringLiteral("%"), QStringLiteral("Percent") },
        { QStringLiteral("CE"), QStringLiteral("CancelEntry") },
        { QStringLiteral("C"), QStringLiteral("Cancel") },
        { QStringLiteral("/"), QStringLiteral("Operator0") },
        { QStringLiteral("+"), QStringLiteral("Operator1") },
        { QStringLiteral("X"), QStringLiteral("Operator2") },
        { QStringLiteral("-"), QStringLiteral("Operator3") },
        { QStringLiteral("="), QStringLiteral("Operator4") },
    };
    return names.value(key, QStringLiteral("Number") + key);
}

// Splits "200 + 10 %" into single keys: "2", "0", "0", "+", "1", "0", "%".
QStringList singleKeys(const QString &keys)
{
    QStringList result;
    for (const QString &group : keys.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (group.at(0).isDigit() || group.at(0) == u'.') {
            for (QChar c : group)
                result.append(QString(c));
        } else {
            result.append(group);
        }
    }
    return result;
}

} // namespace

class TestFrmCalculator : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void keysByMouseAndKeyboard();
    void keyboardMapping_data();
    void keyboardMapping();
    void typedKeysReachTheEngineWhateverHasTheFocus_data();
    void typedKeysReachTheEngineWhateverHasTheFocus();

    void slotPressesByButton();
    void readoutClickCopies();
    void divideByZeroShowsTheMessageBeforeTheResult();
    void divideByZeroBoxClosesWithReturn();

private:
    QWidget *control(const QString &name) const { return child<QWidget>(m_window.get(), name); }
    QString readout() const;
    void click(const QString &keys);
    void type(const QString &keys);
    void reopen();

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<frmCalculator> m_window;
};

void TestFrmCalculator::init()
{
    m_env = std::make_unique<TestEnvironment>();
    reopen();
}

void TestFrmCalculator::cleanup()
{
    m_window.reset();
    m_env.reset();
}

void TestFrmCalculator::reopen()
{
    m_window = std::make_unique<frmCalculator>();
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

QString TestFrmCalculator::readout() const
{
    return static_cast<QLabel *>(control(QStringLiteral("lblReadout")))->text();
}

void TestFrmCalculator::click(const QString &keys)
{
    for (const QString &key : singleKeys(keys))
        QTest::mouseClick(control(buttonName(key)), Qt::LeftButton);
}

// Types on the keyboard into whatever control has the focus: "X" as "*", "CE" as "c", "C" as Escape.
void TestFrmCalculator::type(const QString &keys)
{
    for (const QString &key : singleKeys(keys)) {
        QWidget *focused = QApplication::focusWidget();
        QVERIFY(focused);
        if (key == QLatin1String("C"))
            QTest::keyClick(focused, Qt::Key_Escape);
        else if (key == QLatin1String("CE"))
            QTest::keyClick(focused, 'c');
        else if (key == QLatin1String("X"))
            QTest::keyClick(focused, '*');
        else
            QTest::keyClick(focused, key.at(0).toLatin1());
    }
}

// The engine's own test holds the whole key table; these rows prove that every kind of key reaches it
// by mouse and by keyboard.
void TestFrmCalculator::keysByMouseAndKeyboard()
{
    const QString keys = QStringLiteral("2 + 3 X 4 =");
    click(keys);
    QCOMPARE(readout(), QStringLiteral("20."));
    click(QStringLiteral("C"));
    QCOMPARE(readout(), QStringLiteral("0."));
    type(keys);
    QCOMPARE(readout(), QStringLiteral("20."));
    QCOMPARE(QApplication::focusWidget(), control(QStringLiteral("Operator4")));
}

void TestFrmCalculator::keyboardMapping_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("readout");

    // What each key stands for is the engine's table; these rows prove that a keypad key reaches it, and
    // that neither Space (on the focused "=") nor Ctrl+C is a key: after "5 + 3", "2 =" then gives 37.
    row("keypad digit", "2 +", int(Qt::Key_5), "5", int(Qt::KeypadModifier), "=", "7.");
    row("Space does not press the focused =", "5 + 3", int(Qt::Key_Space), " ", int(Qt::NoModifier), "2 =", "37.");
    row("Ctrl+C is no key of the calculator", "5 + 3", int(Qt::Key_C), "c", int(Qt::ControlModifier), "2 =", "37.");
}

void TestFrmCalculator::keyboardMapping()
{
    QFETCH(QString, before);
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(int, modifiers);
    QFETCH(QString, after);
    type(before);
    QTest::sendKeyEvent(
        QTest::Click, QApplication::focusWidget(), Qt::Key(key), text, Qt::KeyboardModifiers(modifiers));
    type(after);
    QTEST(readout(), "readout");
    QCOMPARE(QApplication::focusWidget(), control(QStringLiteral("Operator4")));
}

void TestFrmCalculator::typedKeysReachTheEngineWhateverHasTheFocus_data()
{
    QTest::addColumn<QString>("focused");
    row("keep-on-top box", "chkOnTop");
    row("operator key", "Operator1");
    row("the window itself", "frmCalculator");
    row("a text box that takes characters", "txtAdded");
}

void TestFrmCalculator::typedKeysReachTheEngineWhateverHasTheFocus()
{
    QFETCH(QString, focused);
    if (focused == QLatin1String("txtAdded")) {
        // A control added later that would take every character itself.
        auto *text = new QLineEdit(m_window->findChild<QFrame *>(QStringLiteral("fraCalc")));
        text->setObjectName(focused);
        text->show();
    }
    QWidget *target = focused == QLatin1String("frmCalculator") ? m_window.get() : control(focused);
    const QStringList typed
        = { QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("*"), QStringLiteral("3"), QStringLiteral("\r") };
    for (const QString &text : typed) {
        target->setFocus();
        const Qt::Key key = text == QLatin1String("\r") ? Qt::Key_Return : Qt::Key(text.at(0).unicode());
        QTest::sendKeyEvent(QTest::Click, target, key, text, Qt::NoModifier);
    }
    QCOMPARE(readout(), QStringLiteral("36."));
    QCOMPARE(QApplication::focusWidget(), control(QStringLiteral("Operator4")));
    QCOMPARE(static_cast<QCheckBox *>(control(QStringLiteral("chkOnTop")))->isChecked(), false);
    if (auto *text = qobject_cast<QLineEdit *>(target))
        QCOMPARE(text->text(), QString());
}

// Which button stores and which recalls; what a slot holds is the engine's test.
void TestFrmCalculator::slotPressesByButton()
{
    auto slot = [this](int i) { return static_cast<QLabel *>(control(QStringLiteral("lblDisplay%1").arg(i))); };
    type(QStringLiteral("10 / 3 ="));

    QTest::mousePress(slot(3), Qt::RightButton); // stores at button-down already
    QCOMPARE(slot(3)->text(), QStringLiteral("3.333333"));
    QTest::mouseRelease(slot(3), Qt::RightButton);

    for (Qt::MouseButton button : { Qt::LeftButton, Qt::MiddleButton }) {
        type(QStringLiteral("C"));
        QTest::mousePress(slot(3), button);
        QCOMPARE(readout(), QStringLiteral("3.333333"));
        QTest::mouseRelease(slot(3), button);
    }
}

void TestFrmCalculator::readoutClickCopies()
{
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    if (QGuiApplication::clipboard()->text() != QLatin1String("before"))
        QSKIP("this platform has no clipboard");
    type(QStringLiteral("12.5"));
    QTest::mouseClick(control(QStringLiteral("lblReadout")), Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("12.5"));
    QCOMPARE(readout(), QStringLiteral("12.5"));
    QCOMPARE(QApplication::focusWidget(), control(QStringLiteral("Operator4")));
}

void TestFrmCalculator::divideByZeroShowsTheMessageBeforeTheResult()
{
    QString readoutWhileShown;
    m_env->dialogs.onShow = [&](const Message &) { readoutWhileShown = readout(); };
    type(QStringLiteral("7 / 0 ="));
    QCOMPARE(m_env->dialogs.shown.size(), 1);
    QCOMPARE(readoutWhileShown, QStringLiteral("0."));
    QCOMPARE(readout(), QStringLiteral("7."));
    // "=" is pending: a number starts a new calculation.
    type(QStringLiteral("4 + 1 ="));
    QCOMPARE(readout(), QStringLiteral("5."));
}

// The real box: its keys are its own, not the calculator's.
void TestFrmCalculator::divideByZeroBoxClosesWithReturn()
{
    Dialogs::record(nullptr);
    bool pressed = false;
    int checksAfterPress = 0;
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
        QWidget *box = QApplication::activeModalWidget();
        if (box && !pressed) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            pressed = true;
        } else if (box && ++checksAfterPress > 100) {
            box->close(); // the key did not reach it: end the box so that the test can fail
        }
    });
    poll.start(10);
    type(QStringLiteral("5 / 0 ="));
    Dialogs::record(&m_env->dialogs);
    QVERIFY(pressed);
    QVERIFY2(checksAfterPress <= 100, "Return did not close the box");
    QCOMPARE(readout(), QStringLiteral("5."));
}

QTEST_MAIN(TestFrmCalculator)
#include "tst_frmcalculator.moc"
