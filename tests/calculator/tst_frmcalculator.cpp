#include "../support/testenvironment.h"
#include "keytable.h"

#include "app/frmqy2.h"
#include "app/windows.h"
#include "calculator/frmcalculator.h"
#include "common/settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
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

    void keyTableByMouse_data();
    void keyTableByMouse();
    void keyTableByKeyboard_data();
    void keyTableByKeyboard();
    void keyboardMapping_data();
    void keyboardMapping();
    void typedKeysReachTheEngineWhateverHasTheFocus_data();
    void typedKeysReachTheEngineWhateverHasTheFocus();
    void focusReturnsToEquals_data();
    void focusReturnsToEquals();

    void slotPressesByButton();
    void slotPressKeepsTheFocus();
    void readoutClickCopies();
    void divideByZeroShowsTheMessageBeforeTheResult();

    void layout();
    void looks();
    void settingsRoundTrip();
    void placement_data();
    void placement();
    void openedAndClosedByTheMainWindow();

private:
    QWidget *control(const QString &name) const;
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

QWidget *TestFrmCalculator::control(const QString &name) const
{
    QWidget *found = m_window->findChild<QWidget *>(name);
    if (!found)
        qWarning("no control %s", qPrintable(name));
    return found;
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

void TestFrmCalculator::keyTableByMouse_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("readout");
    addKeyTableRows();
}

void TestFrmCalculator::keyTableByMouse()
{
    QFETCH(QString, keys);
    click(keys);
    QTEST(readout(), "readout");
    QCOMPARE(m_env->dialogs.shown.size(), keys == QLatin1String("7 / 0 =") ? 1 : 0);
    click(QStringLiteral("C"));
    QCOMPARE(readout(), QStringLiteral("0."));
}

void TestFrmCalculator::keyTableByKeyboard_data()
{
    keyTableByMouse_data();
}

void TestFrmCalculator::keyTableByKeyboard()
{
    QFETCH(QString, keys);
    type(keys);
    QTEST(readout(), "readout");
    QCOMPARE(m_env->dialogs.shown.size(), keys == QLatin1String("7 / 0 =") ? 1 : 0);
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

    // After "5 + 3" and the key, "2 =" tells the keys apart: CE gives 7., C gives 2., nothing gives 37.
    const QString sum = QStringLiteral("5 + 3");
    const QString two = QStringLiteral("2 =");
    const int none = Qt::NoModifier;
    QTest::newRow("Enter") << "2 + 3" << int(Qt::Key_Return) << "\r" << none << ""
                           << "5.";
    QTest::newRow("keypad Enter") << "2 + 3" << int(Qt::Key_Enter) << "\r" << int(Qt::KeypadModifier) << ""
                                  << "5.";
    QTest::newRow("Enter without text") << "2 + 3" << int(Qt::Key_Return) << "" << none << ""
                                        << "5.";
    QTest::newRow("Escape") << sum << int(Qt::Key_Escape) << "\x1b" << none << two << "2.";
    QTest::newRow("Delete") << sum << int(Qt::Key_Delete) << "" << none << two << "2.";
    QTest::newRow("Delete with its character") << sum << int(Qt::Key_Delete) << "\x7f" << none << two << "2.";
    QTest::newRow("Page Down") << sum << int(Qt::Key_PageDown) << "" << none << two << "2.";
    QTest::newRow("lower-case c") << sum << int(Qt::Key_C) << "c" << none << two << "7.";
    QTest::newRow("upper-case C") << sum << int(Qt::Key_C) << "C" << int(Qt::ShiftModifier) << two << "37.";
    QTest::newRow("Caps Lock C") << sum << int(Qt::Key_C) << "C" << none << two << "37.";
    QTest::newRow("Ctrl+C") << sum << int(Qt::Key_C) << "\x03" << int(Qt::ControlModifier) << two << "37.";
    QTest::newRow("x") << sum << int(Qt::Key_X) << "x" << none << two << "37.";
    QTest::newRow("X") << sum << int(Qt::Key_X) << "X" << int(Qt::ShiftModifier) << two << "37.";
    QTest::newRow("Page Up") << sum << int(Qt::Key_PageUp) << "" << none << two << "37.";
    QTest::newRow("Backspace") << sum << int(Qt::Key_Backspace) << "\b" << none << two << "37.";
    QTest::newRow("Alt+5") << sum << int(Qt::Key_5) << "5" << int(Qt::AltModifier) << two << "37.";
    QTest::newRow("Space presses the focused =") << sum << int(Qt::Key_Space) << " " << none << ""
                                                 << "8.";
    QTest::newRow("keypad digit") << "2 +" << int(Qt::Key_5) << "5" << int(Qt::KeypadModifier) << "="
                                  << "7.";
    QTest::newRow("star multiplies") << sum << int(Qt::Key_Asterisk) << "*" << none << two << "16.";
    QTest::newRow("keypad star") << sum << int(Qt::Key_Asterisk) << "*" << int(Qt::KeypadModifier) << two << "16.";
    QTest::newRow("slash") << "9" << int(Qt::Key_Slash) << "/" << none << "3 ="
                           << "3.";
    QTest::newRow("plus") << "9" << int(Qt::Key_Plus) << "+" << int(Qt::ShiftModifier) << "3 ="
                          << "12.";
    QTest::newRow("minus after an operator") << "5 X" << int(Qt::Key_Minus) << "-" << none << "3 ="
                                             << "-15.";
    QTest::newRow("equals") << sum << int(Qt::Key_Equal) << "=" << none << ""
                            << "8.";
    QTest::newRow("percent") << "200 + 10" << int(Qt::Key_Percent) << "%" << int(Qt::ShiftModifier) << "="
                             << "20.";
    QTest::newRow("point") << "1" << int(Qt::Key_Period) << "." << none << "5"
                           << "1.5";
    QTest::newRow("keypad point") << "1" << int(Qt::Key_Period) << "." << int(Qt::KeypadModifier) << "5"
                                  << "1.5";
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
    QTest::newRow("keep-on-top box") << "chkOnTop";
    QTest::newRow("digit key") << "Number7";
    QTest::newRow("operator key") << "Operator1";
    QTest::newRow("C key") << "Cancel";
    QTest::newRow("the window itself") << "frmCalculator";
    QTest::newRow("a text box that takes characters") << "txtAdded";
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

void TestFrmCalculator::focusReturnsToEquals_data()
{
    QTest::addColumn<QString>("key");
    for (const char *key :
        { "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", ".", "%", "CE", "C", "/", "+", "X", "-", "=" })
        QTest::newRow(key) << QString::fromLatin1(key);
}

void TestFrmCalculator::focusReturnsToEquals()
{
    QFETCH(QString, key);
    QWidget *equals = control(QStringLiteral("Operator4"));
    QCOMPARE(QApplication::focusWidget(), equals); // from the opening of the window
    QWidget *button = control(buttonName(key));
    button->setFocus();
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), equals);
    // The key did its work too.
    QCOMPARE(readout(),
        key == QLatin1String("-")       ? QStringLiteral("-0.")
            : key.at(0).isDigit()       ? key + QLatin1Char('.')
            : key == QLatin1String("%") ? QStringLiteral("0")
                                        : QStringLiteral("0."));
}

void TestFrmCalculator::slotPressesByButton()
{
    auto slot = [this](int i) { return static_cast<QLabel *>(control(QStringLiteral("lblDisplay%1").arg(i))); };
    type(QStringLiteral("10 / 3 ="));
    QCOMPARE(readout(), QStringLiteral("3.3333333333"));

    // Right press stores, at button-down already.
    QTest::mousePress(slot(3), Qt::RightButton);
    QCOMPARE(slot(3)->text(), QStringLiteral("3.333333"));
    QCOMPARE(readout(), QStringLiteral("3.3333333333"));
    for (int i : { 0, 1, 2, 4, 5 })
        QCOMPARE(slot(i)->text(), QStringLiteral("0."));
    QTest::mouseRelease(slot(3), Qt::RightButton);

    // Left press recalls, and the pending operation stays.
    type(QStringLiteral("5 +"));
    QTest::mousePress(slot(3), Qt::LeftButton);
    QCOMPARE(readout(), QStringLiteral("3.333333"));
    QTest::mouseRelease(slot(3), Qt::LeftButton);
    type(QStringLiteral("="));
    QCOMPARE(readout(), QStringLiteral("8.333333"));

    // Any other button recalls too.
    type(QStringLiteral("C"));
    QTest::mouseClick(slot(3), Qt::MiddleButton);
    QCOMPARE(readout(), QStringLiteral("3.333333"));

    // C leaves the slots; a lone "-" is not stored.
    type(QStringLiteral("C 5 + -"));
    QCOMPARE(slot(3)->text(), QStringLiteral("3.333333"));
    QTest::mouseClick(slot(3), Qt::RightButton);
    QCOMPARE(slot(3)->text(), QStringLiteral("3.333333"));
    QCOMPARE(readout(), QStringLiteral("-"));
}

void TestFrmCalculator::slotPressKeepsTheFocus()
{
    QWidget *seven = control(QStringLiteral("Number7"));
    seven->setFocus();
    QTest::mouseClick(control(QStringLiteral("lblDisplay0")), Qt::RightButton);
    QTest::mouseClick(control(QStringLiteral("lblDisplay0")), Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), seven);
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
    QCOMPARE(m_env->dialogs.shown.first().title, QStringLiteral("Quillory2: Cannot divide by zero"));
    QCOMPARE(m_env->dialogs.shown.first().icon, Message::Icon::Exclamation);
    QVERIFY(m_env->dialogs.shown.first().text.startsWith(QStringLiteral("PLEASE USE A NON-ZERO NUMBER\r\n\r\n")));
    QCOMPARE(readoutWhileShown, QStringLiteral("0."));
    QCOMPARE(readout(), QStringLiteral("7."));
    // "=" is pending: a number starts a new calculation.
    type(QStringLiteral("4 + 1 ="));
    QCOMPARE(readout(), QStringLiteral("5."));
}

void TestFrmCalculator::layout()
{
    QCOMPARE(m_window->size(), QSize(175, 242));
    QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Calculator"));

    // The slots: two columns, three rows, index 0 top left, odd indexes on the right.
    auto at = [this](const QString &name) { return control(name)->mapTo(m_window.get(), QPoint(0, 0)); };
    auto rect = [this, &at](const QString &name) { return QRect(at(name), control(name)->size()); };
    for (int i = 0; i < 6; ++i) {
        const QRect r = rect(QStringLiteral("lblDisplay%1").arg(i));
        QCOMPARE(r.left() > 80, i % 2 == 1);
        QVERIFY(r.top() >= (i / 2) * 20 && r.bottom() < (i / 2 + 1) * 30);
        QVERIFY(r.width() > 80);
    }
    const QRect frame = rect(QStringLiteral("fraCalc"));
    QVERIFY(frame.top() >= rect(QStringLiteral("lblDisplay5")).bottom());
    QCOMPARE(frame.bottom(), m_window->height() - 1);

    // The keypad, row by row: every key inside the frame, below the readout, in its column and row.
    const QStringList rows[] = {
        { QStringLiteral("Number7"), QStringLiteral("Number8"), QStringLiteral("Number9"),
            QStringLiteral("CancelEntry"), QStringLiteral("Cancel") },
        { QStringLiteral("Number4"), QStringLiteral("Number5"), QStringLiteral("Number6"), QStringLiteral("Operator2"),
            QStringLiteral("Operator0") },
        { QStringLiteral("Number1"), QStringLiteral("Number2"), QStringLiteral("Number3"), QStringLiteral("Operator1"),
            QStringLiteral("Operator3") },
        { QStringLiteral("Number0"), QStringLiteral("Decimal"), QStringLiteral("Percent"), QStringLiteral("Operator4"),
            QStringLiteral("chkOnTop") },
    };
    const QRect readoutRect = rect(QStringLiteral("lblReadout"));
    QVERIFY(frame.contains(readoutRect));
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 5; ++column) {
            const QRect r = rect(rows[row][column]);
            QVERIFY2(frame.contains(r), qPrintable(rows[row][column]));
            QVERIFY(r.top() > readoutRect.bottom());
            QCOMPARE(r.top(), rect(rows[row][0]).top());
            if (column > 0)
                QVERIFY2(r.left() > rect(rows[row][column - 1]).right(), qPrintable(rows[row][column]));
            if (row > 0 && column < 4)
                QVERIFY2(r.top() > rect(rows[row - 1][column]).bottom(), qPrintable(rows[row][column]));
            if (row > 0 && column < 4)
                QCOMPARE(r.left(), rect(rows[row - 1][column]).left());
        }
    }
    // "=" about 1.4 keys wide and 1.25 keys high, reaching into the fifth column, the box beside it.
    const QRect key = rect(QStringLiteral("Number0"));
    const QRect equals = rect(QStringLiteral("Operator4"));
    QVERIFY(std::abs(equals.width() / double(key.width()) - 1.4) < 0.1);
    QVERIFY(std::abs(equals.height() / double(key.height()) - 1.25) < 0.1);
    QVERIFY(equals.right() > rect(QStringLiteral("Operator3")).left());
    const QRect box = rect(QStringLiteral("chkOnTop"));
    QVERIFY(box.left() > equals.right());
    QVERIFY(box.right() <= rect(QStringLiteral("Operator3")).right());
    QVERIFY(box.width() >= control(QStringLiteral("chkOnTop"))->sizeHint().width());
}

void TestFrmCalculator::looks()
{
    const QString captions[]
        = { QStringLiteral("/"), QStringLiteral("+"), QStringLiteral("X"), QStringLiteral("-"), QStringLiteral("=") };
    for (int i = 0; i < 5; ++i)
        QCOMPARE(static_cast<QPushButton *>(control(QStringLiteral("Operator%1").arg(i)))->text(), captions[i]);
    for (int i = 0; i < 10; ++i)
        QCOMPARE(static_cast<QPushButton *>(control(QStringLiteral("Number%1").arg(i)))->text(), QString::number(i));
    QCOMPARE(static_cast<QPushButton *>(control(QStringLiteral("Decimal")))->text(), QStringLiteral("."));
    QCOMPARE(static_cast<QPushButton *>(control(QStringLiteral("Percent")))->text(), QStringLiteral("%"));
    QCOMPARE(static_cast<QPushButton *>(control(QStringLiteral("CancelEntry")))->text(), QStringLiteral("CE"));
    QCOMPARE(static_cast<QPushButton *>(control(QStringLiteral("Cancel")))->text(), QStringLiteral("C"));
    QCOMPARE(static_cast<QCheckBox *>(control(QStringLiteral("chkOnTop")))->text(), QString());
    QCOMPARE(control(QStringLiteral("chkOnTop"))->toolTip(), QStringLiteral("Keep on top"));

    QLabel *readoutLabel = static_cast<QLabel *>(control(QStringLiteral("lblReadout")));
    QCOMPARE(readoutLabel->text(), QStringLiteral("0."));
    QCOMPARE(readoutLabel->toolTip(), QStringLiteral("CLICK (Copy to clipboard)"));
    QCOMPARE(readoutLabel->palette().color(readoutLabel->foregroundRole()), QColor(0, 255, 0));
    QCOMPARE(readoutLabel->palette().color(readoutLabel->backgroundRole()), QColor(64, 64, 64));
    QVERIFY(readoutLabel->autoFillBackground());
    for (int i = 0; i < 6; ++i) {
        QLabel *slot = static_cast<QLabel *>(control(QStringLiteral("lblDisplay%1").arg(i)));
        QCOMPARE(slot->text(), QStringLiteral("0."));
        QCOMPARE(slot->toolTip(), QStringLiteral("TO BIG <(L)-CLICK-(R)> FROM BIG"));
    }
    // The bigger "=", bold keys, the readout's text larger than the slots'.
    const QFont key = control(QStringLiteral("Number7"))->font();
    const QFont equals = control(QStringLiteral("Operator4"))->font();
    QVERIFY(key.bold() && equals.bold());
    QVERIFY(equals.pixelSize() > key.pixelSize());
    QVERIFY(readoutLabel->font().pixelSize() > control(QStringLiteral("lblDisplay0"))->font().pixelSize());
    // The longest results and slot texts fit without clipping.
    auto fits = [](const QLabel *label, const QString &text) {
        return label->fontMetrics().horizontalAdvance(text) <= label->contentsRect().width() - label->indent();
    };
    for (const char *text : { "-99999999999.", "-0.333333333", "3.3333333333", "-1.00E+100" })
        QVERIFY2(fits(readoutLabel, QString::fromLatin1(text)), text);
    for (const char *text : { "-9999999.", "-1.23E+07", "3.333333" })
        QVERIFY2(fits(static_cast<QLabel *>(control(QStringLiteral("lblDisplay1"))), QString::fromLatin1(text)), text);
    // Every key's caption fits its button.
    for (QPushButton *button : m_window->findChildren<QPushButton *>())
        QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) < button->width() - 4,
            qPrintable(button->objectName()));
}

void TestFrmCalculator::settingsRoundTrip()
{
    QCheckBox *onTop = static_cast<QCheckBox *>(control(QStringLiteral("chkOnTop")));
    QVERIFY(!onTop->isChecked());
    QVERIFY(!m_window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    m_window->move(300, 200);
    QTest::mouseClick(onTop, Qt::LeftButton);
    QVERIFY(onTop->isChecked());
    QVERIFY(m_window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    type(QStringLiteral("12345678"));
    QTest::mouseClick(control(QStringLiteral("lblDisplay2")), Qt::RightButton);
    m_window->close();
    QCOMPARE(Settings::get(Key::CalculatorLeft), QStringLiteral("4500"));
    QCOMPARE(Settings::get(Key::CalculatorTop), QStringLiteral("3000"));
    QCOMPARE(Settings::get(Key::CalculatorOnTop), QStringLiteral("1"));

    reopen();
    onTop = static_cast<QCheckBox *>(control(QStringLiteral("chkOnTop")));
    QCOMPARE(m_window->pos(), QPoint(300, 200));
    QVERIFY(onTop->isChecked());
    QVERIFY(m_window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    // Nothing of the calculation or the slots is kept.
    QCOMPARE(readout(), QStringLiteral("0."));
    QCOMPARE(static_cast<QLabel *>(control(QStringLiteral("lblDisplay2")))->text(), QStringLiteral("0."));

    QTest::mouseClick(onTop, Qt::LeftButton);
    QVERIFY(!m_window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    m_window->close();
    QCOMPARE(Settings::get(Key::CalculatorOnTop), QStringLiteral("0"));
}

void TestFrmCalculator::placement_data()
{
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("top");
    QTest::addColumn<bool>("centred");
    QTest::addColumn<QPoint>("pos");

    QTest::newRow("nothing stored") << ""
                                    << "" << true << QPoint();
    QTest::newRow("stored") << "1500"
                            << "750" << false << QPoint(100, 50);
    QTest::newRow("negative left stays") << "-1500"
                                         << "750" << false << QPoint(-100, 50);
    QTest::newRow("beyond the right edge") << "screen+15"
                                           << "750" << true << QPoint();
    QTest::newRow("beyond the bottom edge") << "1500"
                                            << "screen+15" << true << QPoint();
    QTest::newRow("unreadable") << "left"
                                << "top" << true << QPoint();
}

void TestFrmCalculator::placement()
{
    QFETCH(QString, left);
    QFETCH(QString, top);
    QFETCH(bool, centred);
    QFETCH(QPoint, pos);
    m_window.reset();
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    const auto stored = [](const QString &text, int screenPixels) {
        return text == QLatin1String("screen+15") ? QString::number(screenPixels * 15 + 15) : text;
    };
    if (!left.isEmpty())
        Settings::save(Key::CalculatorLeft, stored(left, screen.width()));
    if (!top.isEmpty())
        Settings::save(Key::CalculatorTop, stored(top, screen.height()));
    reopen();
    if (centred)
        pos = QPoint(int(std::lround((screen.width() - 175) / 2.0)), int(std::lround((screen.height() - 242) / 2.0)));
    QCOMPARE(m_window->pos(), pos);
}

void TestFrmCalculator::openedAndClosedByTheMainWindow()
{
    m_window.reset();
    frmQY2 main;
    registerWindows(main);
    QVERIFY(main.opener().isRegistered(WindowKey::Calculator));
    QPointer<QWidget> window = main.opener().show(WindowKey::Calculator);
    QVERIFY(qobject_cast<frmCalculator *>(window.data()));
    QCOMPARE(window->objectName(), QStringLiteral("frmCalculator"));
    QVERIFY(window->isVisible());
    QCOMPARE(main.opener().show(WindowKey::Calculator), window.data());

    window->move(150, 75);
    static_cast<QCheckBox *>(window->findChild<QWidget *>(QStringLiteral("chkOnTop")))->setChecked(true);
    main.unload();
    QCOMPARE(Settings::get(Key::CalculatorLeft), QStringLiteral("2250"));
    QCOMPARE(Settings::get(Key::CalculatorTop), QStringLiteral("1125"));
    QCOMPARE(Settings::get(Key::CalculatorOnTop), QStringLiteral("1"));
    QTRY_VERIFY(window.isNull());
}

QTEST_MAIN(TestFrmCalculator)
#include "tst_frmcalculator.moc"
