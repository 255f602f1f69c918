#include "../support/tablerow.h"
#include "calculator/calculatorengine.h"
#include "calculator/numbertext.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QtTest>
#include <cmath>

using InputKind = CalculatorEngine::InputKind;

namespace {

// Presses keys written as in a key table: "5 + 3 =", "1 2 . 5", "200 + 10 %", "7 / 0 =", "5 + 3 CE 4 =".
// A group of digits and points is typed one character at a time; "C" and "CE" clear, "Rn" recalls
// slot n and "Sn" stores into it. Returns the messages shown on the way.
QList<Message> press(CalculatorEngine &engine, const QString &keys)
{
    QList<Message> messages;
    for (const QString &key : keys.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (key == QLatin1String("CE")) {
            engine.ClearEntry();
        } else if (key == QLatin1String("C")) {
            engine.ClearAll();
        } else if (key == QLatin1String("%")) {
            engine.ApplyPercent();
        } else if (key.size() == 2 && (key[0] == u'R' || key[0] == u'S')) {
            if (key[0] == u'R')
                engine.RecallMemory(key[1].digitValue());
            else
                engine.StoreMemory(key[1].digitValue());
        } else if (key.size() == 1 && QStringLiteral("+-X*/=").contains(key[0])) {
            if (const auto message = engine.EnterOperator(key[0]))
                messages.append(*message);
        } else {
            for (QChar c : key) {
                if (c == u'.')
                    engine.EnterPoint();
                else
                    engine.EnterDigit(c);
            }
        }
    }
    return messages;
}

QString repeated(const QString &keys, int times)
{
    QStringList all;
    for (int i = 0; i < times; ++i)
        all.append(keys);
    return all.join(QLatin1Char(' '));
}

bool isInitialState(const CalculatorEngine &engine)
{
    return engine.readout() == QLatin1String("0.") && engine.operandCount() == 0
        && engine.lastInputKind() == InputKind::None && engine.pendingOperator() == u' ' && !engine.pointEntered();
}

// The number texts a readout or slot may hold.
const QRegularExpression WellFormed(QStringLiteral("^-?(\\d+\\.?\\d*|\\.\\d+)(E[+-]\\d{2,})?$"));

// Half a unit of the last digit a number text shows ("3.33" -> 0.005, "1.23E-05" -> 5E-08, "12." -> 0.5).
double halfLastDigit(const QString &text)
{
    const qsizetype e = text.indexOf(u'E');
    const QString mantissa = e < 0 ? text : text.left(e);
    const int exponent = e < 0 ? 0 : text.mid(e + 1).toInt();
    const qsizetype point = mantissa.indexOf(u'.');
    const int decimals = point < 0 ? 0 : int(mantissa.size() - point - 1);
    return 0.5 * std::pow(10.0, exponent - decimals);
}

} // namespace

class TestCalculatorEngine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keySequences_data();
    void keySequences();

    void divideByZero();
    void overflowKeepsTheFirstOperand();
    void digitsBeyondTheDoubleRangeAreRefused();
    void percentTwiceCarriesOnAtTheNextOperator_data();
    void percentTwiceCarriesOnAtTheNextOperator();
    void loneMinusUnderPercentAndStore();

    void showResult_data();
    void showResult();
    void resultTextIsWithinHalfItsLastDigit();
    void slotText_data();
    void slotText();
    void storeMemoryLeavesTheEngineAlone();
    void recall_data();
    void recall();
    void clearAllLeavesTheSlots();

    void typedKey_data();
    void typedKey();
    void readNumber_data();
    void readNumber();
    void generalText_data();
    void generalText();
    void scientificText_data();
    void scientificText();
    void roundHalfEven_data();
    void roundHalfEven();
};

void TestCalculatorEngine::keySequences_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("readout");

    row("add", "5 + 3 =", "8.");
    row("operator finishes the pending one", "5 + 3 +", "8.");
    row("left to right, no precedence", "2 + 3 X 4 =", "20.");
    row("minus starts a negative number", "-", "-0.");
    row("second minus changes nothing", "- -", "-0.");
    row("add a negative", "5 + - 3 =", "2.");
    row("operator after = continues", "5 + 3 = - 2 =", "6.");
    row("point", ".", "0.");
    row("minus then point", "- .", "-0.");
    row("leading zero stays", "0 5", "05.");
    row("second point changes nothing", "1 2 . 5 .", "12.5");
    row("percent shows the fraction", "200 + 10 %", "0.1");
    row("percent of the first operand", "200 + 10 % =", "20.");
    row("ten thirds", "10 / 3 =", "3.3333333333");
    row("past eleven nines", "99999999999 + 1 =", "1.00E+11");
    row("divide by zero", "7 / 0 =", "7.");
    row("CE keeps the pending operation", "5 + 3 CE 4 =", "9.");
    row("CE then = discards the first", "5 + 3 CE =", "0.");
    row("= does not repeat", "5 + 3 = =", "8.");
    row("number after = starts anew", "5 + 3 = 2 + 1 =", "3.");
    row("percent whatever was pending", "200 - 10 % =", "20.");
    row("operator replaces +, X", "5 + X 2 =", "10.");
    row("operator replaces +, =", "5 + = 3 =", "3.");
    row("times a negative", "5 X - 3 =", "-15.");
    row("negative first operand", "- 5 X 3 =", "-15.");
    row("negative fraction", "- . 5 + 1 =", "0.5");
    row("- after = is subtraction", "5 = - 2 =", "3.");
    row("minus minus after an operator", "5 + - - 3 =", "-3.");
    row("float sum", ". 1 + . 2 =", "0.3");
    row("percent of a percent", "50 % %", "0.005");
    row("zero percent has no point", "0 %", "0");
    row("big percent", "100000000000000000 %", "1E+15");
}

void TestCalculatorEngine::keySequences()
{
    QFETCH(QString, keys);
    QFETCH(QString, readout);
    CalculatorEngine engine;
    press(engine, keys);
    QCOMPARE(engine.readout(), readout);
    // The same keys after C give the same readout.
    press(engine, QStringLiteral("C ") + keys);
    QCOMPARE(engine.readout(), readout);
}

void TestCalculatorEngine::divideByZero()
{
    const QStringList zeros
        = { QStringLiteral("0"), QStringLiteral("- 0"), QStringLiteral("0 . 0"), QStringLiteral(". 0 0") };
    for (const QString &zero : zeros) {
        CalculatorEngine engine;
        const QList<Message> shown = press(engine, QStringLiteral("7 / ") + zero + QStringLiteral(" ="));
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().title, QStringLiteral("Quillory2: Cannot divide by zero"));
        QCOMPARE(engine.readout(), QStringLiteral("7."));
        QCOMPARE(engine.operandCount(), 1);
        QCOMPARE(engine.pendingOperator(), QChar(u'='));
        // The calculation goes on from the first operand.
        QVERIFY(press(engine, QStringLiteral("+ 1 =")).isEmpty());
        QCOMPARE(engine.readout(), QStringLiteral("8."));
    }

    CalculatorEngine engine;
    QCOMPARE(press(engine, QStringLiteral("7 / 0 + 2 =")).size(), 1);
    QCOMPARE(engine.readout(), QStringLiteral("9.")); // "+" became the pending operator
    QCOMPARE(press(engine, QStringLiteral("C 0 / 0 =")).size(), 1);
    QCOMPARE(engine.readout(), QStringLiteral("0."));
    QCOMPARE(press(engine, QStringLiteral("C 7 / 0 . 5 =")).size(), 0);
    QCOMPARE(engine.readout(), QStringLiteral("14."));
}

void TestCalculatorEngine::overflowKeepsTheFirstOperand()
{
    // 28 factors of eleven nines stay just below the largest double; the 29th goes beyond it.
    const QString nines = QStringLiteral("99999999999");
    CalculatorEngine engine;
    QVERIFY(press(engine, repeated(nines + QStringLiteral(" X"), 27) + QLatin1Char(' ') + nines + QStringLiteral(" ="))
                .isEmpty());
    QCOMPARE(engine.readout(), QStringLiteral("1.00E+308"));

    const QList<Message> shown = press(engine, QStringLiteral("X ") + nines + QStringLiteral(" ="));
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().title, QStringLiteral("Quillory2: Number too large"));
    QCOMPARE(shown.first().icon, Message::Icon::Exclamation);
    QCOMPARE(engine.readout(), QStringLiteral("1.00E+308"));
    QCOMPARE(engine.operandCount(), 1);
    QCOMPARE(engine.pendingOperator(), QChar(u'='));
    // The first operand is still the finite one: halving it works.
    QVERIFY(press(engine, QStringLiteral("/ 2 =")).isEmpty());
    QCOMPARE(engine.readout(), QStringLiteral("5.00E+307"));
    QVERIFY(press(engine, QStringLiteral("C 1 + 2 =")).isEmpty());
    QCOMPARE(engine.readout(), QStringLiteral("3."));
}

void TestCalculatorEngine::digitsBeyondTheDoubleRangeAreRefused()
{
    CalculatorEngine engine;
    press(engine, QString(400, u'9'));
    QCOMPARE(engine.readout(), QString(308, u'9') + QLatin1Char('.'));
    QVERIFY(NumberText::read(engine.readout()).has_value());
    QVERIFY(press(engine, QStringLiteral("X 1 =")).isEmpty());
    QCOMPARE(engine.readout(), QStringLiteral("1.00E+308"));

    // A recalled exponent text grows its exponent digit by digit, up to what a double holds.
    press(engine, QStringLiteral("C 12345678 S0 C . R0 5 5"));
    QCOMPARE(engine.readout(), QStringLiteral("1.23E+075"));
    QVERIFY(press(engine, QStringLiteral("+ 1 =")).isEmpty());
    QCOMPARE(engine.readout(), QStringLiteral("1.23E+75"));

    // At the small end too: a number that would vanish to zero.
    press(engine, QStringLiteral("C . 0 0 0 0 0 1 2 3 S1 C . R1 5 5"));
    QCOMPARE(engine.readout(), QStringLiteral("1.23E-065"));
    QVERIFY(press(engine, QStringLiteral("X 1 =")).isEmpty());
    QCOMPARE(engine.readout(), QStringLiteral("1.23E-65"));
    // A zero may grow as it likes.
    press(engine, QStringLiteral("C . 0 0 0 0 0 0 0 0 0"));
    QCOMPARE(engine.readout(), QStringLiteral("0.000000000"));
}

void TestCalculatorEngine::percentTwiceCarriesOnAtTheNextOperator_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("readout");
    QTest::addColumn<int>("operandCount");

    row("percent twice", "200 + 10 % %", "0.001", 2);
    row("number after percent, =", "200 + 10 % 5 =", "1000.", 1);
    row("goes on afterwards", "200 + 10 % % = + 1 =", "1.2", 1);
}

void TestCalculatorEngine::percentTwiceCarriesOnAtTheNextOperator()
{
    QFETCH(QString, keys);
    CalculatorEngine engine;
    press(engine, keys);
    QTEST(engine.readout(), "readout");
    QTEST(int(engine.operandCount()), "operandCount");
}

void TestCalculatorEngine::loneMinusUnderPercentAndStore()
{
    CalculatorEngine engine;
    press(engine, QStringLiteral("4 S0 C 5 + -"));
    QCOMPARE(engine.readout(), QStringLiteral("-"));
    engine.StoreMemory(0);
    QCOMPARE(engine.slot(0), QStringLiteral("4."));
    engine.ApplyPercent();
    QCOMPARE(engine.readout(), QStringLiteral("-"));
    QCOMPARE(engine.lastInputKind(), InputKind::Neg);
    QCOMPARE(engine.pendingOperator(), QChar(u'+'));
    QCOMPARE(int(engine.operandCount()), 1);
    press(engine, QStringLiteral("3 ="));
    QCOMPARE(engine.readout(), QStringLiteral("2."));
}

void TestCalculatorEngine::showResult_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("readout");

    row("8", 8.0, "8.");
    row("10/3", 10.0 / 3, "3.3333333333");
    row("-1/3", -1.0 / 3, "-0.333333333");
    row("eleven nines", 99999999999.0, "99999999999.");
    row("1E+11", 100000000000.0, "1.00E+11");
    row("0.0000123456789", 0.0000123456789, "1.23457E-05");
    row("zero", 0.0, "0.");
    row("negative zero", -0.0, "0.");
    row("1E-08 is not tiny", 0.00000001, "1E-08");
    row("below 1E-08", 0.0000000099, "9.90E-09");
    row("1E-05", 0.00001, "1E-05");
    row("halfway to even, down", 12345678900.5, "12345678900");
    row("halfway to even, up", 12345678901.5, "12345678902");
    row("2^-11 to even", 1.0 / 2048, "0.0004882812");
    row("-2^-11 at nine places", -1.0 / 2048, "-0.000488281");
    row("huge", 1e300, "1.00E+300");
}

void TestCalculatorEngine::showResult()
{
    QFETCH(double, value);
    CalculatorEngine engine;
    engine.ShowResult(value);
    QTEST(engine.readout(), "readout");
    // A readout text as an operand reads the same.
    engine.ShowResult(CalculatorEngine::Operand(QString::number(value, 'g', 17)));
    QTEST(engine.readout(), "readout");
}

void TestCalculatorEngine::resultTextIsWithinHalfItsLastDigit()
{
    QRandomGenerator random(20261206);
    for (int i = 0; i < 20000; ++i) {
        const double magnitude = std::pow(10.0, random.generateDouble() * 25 - 12);
        const double value = random.bounded(2) ? magnitude : -magnitude;
        const QString text = CalculatorEngine::resultText(value);
        QVERIFY2(WellFormed.match(text).hasMatch(), qPrintable(text));
        QVERIFY2(text.size() <= 13, qPrintable(text));
        const double shown = NumberText::read(text).value();
        QVERIFY2(std::abs(shown - value) <= halfLastDigit(text) * (1 + 1e-9),
            qPrintable(QStringLiteral("%1 -> %2").arg(value, 0, 'g', 17).arg(text)));
    }
}

void TestCalculatorEngine::slotText_data()
{
    QTest::addColumn<QString>("readout");
    QTest::addColumn<QString>("slot");

    row("3.3333333333", "3.3333333333", "3.333333");
    row("0.00005", "0.00005", "5.00E-05");
    row("-9999999.", "-9999999.", "-9999999.");
    row("0.", "0.", "0.");
    row("-0. kept as it is", "-0.", "-0.");
    row("0 kept as it is", "0", "0");
    row("just below 0.0001", "0.00009999", "1.00E-04");
    row("just above seven nines", "9999999.5", "1.00E+07");
    row("rounds up to seven nines", "9999998.6", "9999999");
    row("-1234.5678", "-1234.5678", "-1234.57");
    row("halfway to even", "0.0078125", "0.007812");
    row("whole", "12.", "12.");
    row("exponent readout", "1.23E+07", "1.23E+07");
    row("lone minus holds nothing", "-", "");
}

void TestCalculatorEngine::slotText()
{
    QFETCH(QString, readout);
    QTEST(CalculatorEngine::slotText(readout), "slot");
}

void TestCalculatorEngine::storeMemoryLeavesTheEngineAlone()
{
    CalculatorEngine engine;
    press(engine, QStringLiteral("10 / 3 ="));
    engine.StoreMemory(3);
    QCOMPARE(engine.slot(3), QStringLiteral("3.333333"));
    QCOMPARE(engine.readout(), QStringLiteral("3.3333333333"));
    QCOMPARE(engine.pendingOperator(), QChar(u'='));
    QCOMPARE(engine.lastInputKind(), InputKind::Ops);
    for (int i : { 0, 1, 2, 4, 5 })
        QCOMPARE(engine.slot(i), QStringLiteral("0."));
    engine.StoreMemory(6);
    engine.StoreMemory(-1);
    QCOMPARE(engine.slot(6), QString());
}

void TestCalculatorEngine::recall_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("readout");

    row("recall", "12345678 S0 C R0", "1.23E+07");
    row("recall keeps only the slot text", "12345678 S0 C R0 + 1 =", "12300001.");
    row("recalled as second operand", "10 / 3 = S2 C 5 + R2 =", "8.333333");
    row("extend after a point", "2 . 5 S1 + R1 7", "2.57");
    row("extend without a point", "2 . 5 S1 C R1 7", "27.");
    row("digit into a pointless zero", "0 % S2 C R2 5", "05.");
    row("point into a pointless zero", "0 % S2 C R2 . 5", "05");
    row("recall does not end the operation", "5 + R4 =", "5.");
}

void TestCalculatorEngine::recall()
{
    QFETCH(QString, keys);
    CalculatorEngine engine;
    press(engine, keys);
    QTEST(engine.readout(), "readout");
}

void TestCalculatorEngine::clearAllLeavesTheSlots()
{
    CalculatorEngine engine;
    press(engine, QStringLiteral("1 S0 C 22 S1 C 333 S2 C . 5 S3 C - 7 S4 C 8 + 9 = S5"));
    const QStringList before = { QStringLiteral("1."), QStringLiteral("22."), QStringLiteral("333."),
        QStringLiteral("0.5"), QStringLiteral("-7."), QStringLiteral("17.") };
    engine.ClearAll();
    QVERIFY(isInitialState(engine));
    for (int i = 0; i < CalculatorEngine::SlotCount; ++i)
        QCOMPARE(engine.slot(i), before[i]);
}

void TestCalculatorEngine::typedKey_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("typed"); // empty: not a key of the calculator

    row("digit", int(Qt::Key_7), "7", "7");
    row("Return is =", int(Qt::Key_Return), "\r", "\r");
    row("Escape is C", int(Qt::Key_Escape), "\x1b", "\x1b");
    row("Delete is C", int(Qt::Key_Delete), "", "\x1b");
    row("Page Down is C", int(Qt::Key_PageDown), "", "\x1b");
    row("lower-case c is CE", int(Qt::Key_C), "c", "c");
    row("upper-case C is nothing", int(Qt::Key_C), "C", "");
    row("x is nothing", int(Qt::Key_X), "x", "");
    row("an operator", int(Qt::Key_Asterisk), "*", "*");
    row("point", int(Qt::Key_Period), ".", ".");
    row("Backspace is nothing", int(Qt::Key_Backspace), "\b", "");
    row("another script's digit is nothing", int(Qt::Key_unknown), "\u0663", "");
}

void TestCalculatorEngine::typedKey()
{
    QFETCH(int, key);
    QFETCH(QString, text);
    const std::optional<QChar> typed = CalculatorEngine::typedKey(key, text);
    QTEST(typed ? QString(*typed) : QString(), "typed");
}

void TestCalculatorEngine::readNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isNumber");
    QTest::addColumn<double>("value");

    row("05.", "05.", true, 5.0);
    row("-0.", "-0.", true, 0.0);
    row("-4.50E-09", "-4.50E-09", true, -4.5e-9);
    row("too small is zero", "1E-400", true, 0.0);
    row("lone minus", "-", false, 0.0);
    row("empty", "", false, 0.0);
    row("lone point", ".", false, 0.0);
    row("beyond the double range", "1E+400", false, 0.0);
    row("comma", "1,5", false, 0.0);
    row("two points", "1.2.3", false, 0.0);
    row("inf", "inf", false, 0.0);
}

void TestCalculatorEngine::readNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, isNumber);
    const std::optional<double> value = NumberText::read(text);
    QCOMPARE(value.has_value(), isNumber);
    if (isNumber)
        QTEST(*value, "value");
}

void TestCalculatorEngine::generalText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    row("10/3 to 15 digits", 10.0 / 3, "3.33333333333333");
    row("1E-05", 0.00001, "1E-05");
    row("1E+15", 1e15, "1E+15");
    row("rounds up to 1E+15", 999999999999999.5, "1E+15");
    row("16 digits rounded", 123456789012345.6, "123456789012346");
    row("zero", 0.0, "0");
    row("negative zero", -0.0, "0");
    row("0.1 + 0.2", 0.1 + 0.2, "0.3");
    row("1E+100", 1e100, "1E+100");
}

void TestCalculatorEngine::generalText()
{
    QFETCH(double, value);
    QTEST(NumberText::general(value), "text");
}

void TestCalculatorEngine::scientificText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    row("1.23E+11", 123000000000.0, "1.23E+11");
    row("-4.50E-09", -4.5e-9, "-4.50E-09");
    row("rounds up a decade", 9.996e11, "1.00E+12");
    row("three exponent digits", 1e100, "1.00E+100");
}

void TestCalculatorEngine::scientificText()
{
    QFETCH(double, value);
    QTEST(NumberText::scientific(value), "text");
}

void TestCalculatorEngine::roundHalfEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("places");
    QTest::addColumn<QString>("rounded"); // compared as text, so that 0.12 and 0.13 are not "fuzzy equal"

    row("2.5", 2.5, 0, "2");
    row("-2.5", -2.5, 0, "-2");
    row("0.5", 0.5, 0, "0");
    row("0.125", 0.125, 2, "0.12");
    row("2^-11", 1.0 / 2048, 10, "0.0004882812");
    row("2.675 lies below the half", 2.675, 2, "2.67");
    row("1.005 lies below the half", 1.005, 2, "1");
    row("just below a half", 1.4999999999999998, 0, "1");
    row("nothing to round", 1234.5, 10, "1234.5");
}

void TestCalculatorEngine::roundHalfEven()
{
    QFETCH(double, value);
    QFETCH(int, places);
    QTEST(QString::number(NumberText::roundHalfEven(value, places), 'g', 15), "rounded");
}

QTEST_GUILESS_MAIN(TestCalculatorEngine)
#include "tst_calculatorengine.moc"
