#include "../support/tablerow.h"
#include "calculator/calculatorengine.h"
#include "calculator/numbertext.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QtTest>
#include <cmath>

namespace {

// Presses keys written as in a key table: "5 + 3 =", "1 2 . 5", "200 + 10 %", "5 + 3 CE 4 =". A group of
// digits and points is typed one character at a time; "C" and "CE" clear, "Rn" recalls slot n and "Sn"
// stores into it. Returns the messages shown on the way.
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
        } else if (key.size() == 2 && key[0] == u'R') {
            engine.RecallMemory(key[1].digitValue());
        } else if (key.size() == 2 && key[0] == u'S') {
            engine.StoreMemory(key[1].digitValue());
        } else if (key.size() == 1 && QStringLiteral("+-X*/=").contains(key[0])) {
            if (const auto message = engine.EnterOperator(key[0]))
                messages.append(*message);
        } else {
            for (QChar c : key)
                c == u'.' ? engine.EnterPoint() : engine.EnterDigit(c);
        }
    }
    return messages;
}

// Half a unit of the last digit a number text shows ("3.33" -> 0.005, "1.23E-05" -> 5E-08, "12." -> 0.5).
double halfLastDigit(const QString &text)
{
    const qsizetype e = text.indexOf(u'E');
    const QString mantissa = e < 0 ? text : text.left(e);
    const qsizetype point = mantissa.indexOf(u'.');
    const int decimals = point < 0 ? 0 : int(mantissa.size() - point - 1);
    return 0.5 * std::pow(10.0, (e < 0 ? 0 : text.mid(e + 1).toInt()) - decimals);
}

} // namespace

class TestCalculatorEngine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keySequences_data();
    void keySequences();

    void numberText_data();
    void numberText();
    void resultTextIsWithinHalfItsLastDigit();
    void slotText_data();
    void slotText();
    void readNumber_data();
    void readNumber();
    void roundHalfEven_data();
    void roundHalfEven();
    void typedKey_data();
    void typedKey();
};

void TestCalculatorEngine::keySequences_data()
{
    columns<QString, QString>("keys", "readout");
    QTest::addColumn<QString>("message"); // the title of the message shown on the way, if any

    const QString byZero = QStringLiteral("Quillory2: Cannot divide by zero");
    const QString tooLarge = QStringLiteral("Quillory2: Number too large");
    // 28 factors of eleven nines stay just below the largest double; the 29th goes beyond it.
    const QString largest = QStringLiteral("99999999999 X ").repeated(27) + QStringLiteral("99999999999");

    row("add", "5 + 3 =", "8.", "");
    row("operator finishes the pending one", "5 + 3 +", "8.", "");
    row("left to right, no precedence", "2 + 3 X 4 =", "20.", "");
    row("minus starts a negative number", "-", "-0.", "");
    row("add a negative", "5 + - 3 =", "2.", "");
    row("operator after = continues", "5 + 3 = - 2 =", "6.", "");
    row("point", ".", "0.", "");
    row("leading zero stays", "0 5", "05.", "");
    row("second point changes nothing", "1 2 . 5 .", "12.5", "");
    row("percent shows the fraction", "200 + 10 %", "0.1", "");
    row("percent of the first operand", "200 + 10 % =", "20.", "");
    row("ten thirds", "10 / 3 =", "3.3333333333", "");
    row("past eleven nines", "99999999999 + 1 =", "1.00E+11", "");
    row("CE keeps the pending operation", "5 + 3 CE 4 =", "9.", "");
    row("CE then = discards the first", "5 + 3 CE =", "0.", "");
    row("= does not repeat", "5 + 3 = =", "8.", "");
    row("number after = starts anew", "5 + 3 = 2 + 1 =", "3.", "");
    row("percent whatever was pending", "200 - 10 % =", "20.", "");
    row("operator replaces +, X", "5 + X 2 =", "10.", "");
    row("operator replaces +, =", "5 + = 3 =", "3.", "");
    row("times a negative", "5 X - 3 =", "-15.", "");
    row("negative fraction", "- . 5 + 1 =", "0.5", "");
    row("minus minus after an operator", "5 + - - 3 =", "-3.", "");
    row("float sum", ". 1 + . 2 =", "0.3", "");
    row("percent of a percent", "50 % %", "0.005", "");
    row("zero percent has no point", "0 %", "0", "");
    row("big percent", "100000000000000000 %", "1E+15", "");
    row("number after percent, =", "200 + 10 % 5 =", "1000.", "");
    row("goes on after percent twice", "200 + 10 % % = + 1 =", "1.2", "");

    row("divide by zero", "7 / 0 =", "7.", byZero);
    row("by zero with a point", "7 / 0 . 0 =", "7.", byZero);
    row("goes on from the first operand", "7 / 0 = + 1 =", "8.", byZero);
    row("= stays pending after zero", "7 / 0 = 4 + 1 =", "5.", byZero);
    row("+ becomes pending after zero", "7 / 0 + 2 =", "9.", byZero);
    row("by a half", "7 / 0 . 5 =", "14.", "");
    row("largest result", largest + QStringLiteral(" ="), "1.00E+308", "");
    row("too large keeps the first operand", largest + QStringLiteral(" X 99999999999 ="), "1.00E+308", tooLarge);
    row("goes on after too large", largest + QStringLiteral(" X 99999999999 = / 2 ="), "5.00E+307", tooLarge);

    row("digits stop at the double range", QString(400, u'9'), QString(308, u'9') + u'.', "");
    row("the longest number computes", QString(400, u'9') + QStringLiteral(" X 1 ="), "1.00E+308", "");
    row("exponent grows up to the range", "12345678 S0 C . R0 5 5", "1.23E+075", "");
    row("grown exponent computes", "12345678 S0 C . R0 5 5 + 1 =", "1.23E+75", "");
    row("exponent grows down to the range", ". 0 0 0 0 0 1 2 3 S1 C . R1 5 5", "1.23E-065", "");
    row("a zero grows as it likes", ". 0 0 0 0 0 0 0 0 0", "0.000000000", "");
    row("percent of a lone minus", "5 + - % 3 =", "2.", "");
    row("a lone minus is not stored", "4 S0 C 5 + - S0 C R0", "4.", "");

    row("recall", "12345678 S0 C R0", "1.23E+07", "");
    row("recall keeps only the slot text", "12345678 S0 C R0 + 1 =", "12300001.", "");
    row("recalled as second operand", "10 / 3 = S2 C 5 + R2 =", "8.333333", "");
    row("extend without a point", "2 . 5 S1 C R1 7", "27.", "");
    row("digit into a pointless zero", "0 % S2 C R2 5", "05.", "");
    row("point into a pointless zero", "0 % S2 C R2 . 5", "05", "");
    row("recall does not end the operation", "5 + R4 =", "5.", "");
    row("no slot beyond the sixth", "5 S6 C R6", "0.", "");
}

void TestCalculatorEngine::keySequences()
{
    auto [keys, readout] = fetch<QString, QString>("keys", "readout");
    CalculatorEngine engine;
    const QList<Message> shown = press(engine, keys);
    QCOMPARE(engine.readout(), readout);
    QTEST(shown.isEmpty() ? QString() : shown.constFirst().title, "message");
    for (const Message &message : shown)
        QCOMPARE(message.icon, Message::Icon::Exclamation);
    // The same keys after C give the same readout.
    press(engine, QStringLiteral("C ") + keys);
    QCOMPARE(engine.readout(), readout);
}

void TestCalculatorEngine::numberText_data()
{
    columns<QString, double, QString>("form", "value", "text");

    row("8", "readout", 8.0, "8.");
    row("10/3", "readout", 10.0 / 3, "3.3333333333");
    row("eleven nines", "readout", 99999999999.0, "99999999999.");
    row("1E+11", "readout", 100000000000.0, "1.00E+11");
    row("0.0000123456789", "readout", 0.0000123456789, "1.23457E-05");
    row("zero", "readout", 0.0, "0.");
    row("negative zero", "readout", -0.0, "0.");
    row("1E-08 is not tiny", "readout", 0.00000001, "1E-08");
    row("below 1E-08", "readout", 0.0000000099, "9.90E-09");
    row("halfway to even, down", "readout", 12345678900.5, "12345678900");
    row("halfway to even, up", "readout", 12345678901.5, "12345678902");
    row("2^-11 to even", "readout", 1.0 / 2048, "0.0004882812");

    row("10/3 to 15 digits", "general", 10.0 / 3, "3.33333333333333");
    row("general 1E-05", "general", 0.00001, "1E-05");
    row("1E+15", "general", 1e15, "1E+15");
    row("rounds up to 1E+15", "general", 999999999999999.5, "1E+15");
    row("16 digits rounded", "general", 123456789012345.6, "123456789012346");
    row("general negative zero", "general", -0.0, "0");
    row("0.1 + 0.2", "general", 0.1 + 0.2, "0.3");

    row("1.23E+11", "scientific", 123000000000.0, "1.23E+11");
    row("rounds up a decade", "scientific", 9.996e11, "1.00E+12");
    row("three exponent digits", "scientific", 1e100, "1.00E+100");
}

void TestCalculatorEngine::numberText()
{
    auto [form, value] = fetch<QString, double>("form", "value");
    if (form == QLatin1String("general"))
        QTEST(NumberText::general(value), "text");
    else if (form == QLatin1String("scientific"))
        QTEST(NumberText::scientific(value), "text");
    else
        QTEST(CalculatorEngine::resultText(value), "text");
}

void TestCalculatorEngine::resultTextIsWithinHalfItsLastDigit()
{
    static const QRegularExpression wellFormed(QStringLiteral("^-?(\\d+\\.?\\d*|\\.\\d+)(E[+-]\\d{2,})?$"));
    QRandomGenerator random(20261206);
    for (int i = 0; i < 20000; ++i) {
        const double magnitude = std::pow(10.0, random.generateDouble() * 25 - 12);
        const double value = random.bounded(2) ? magnitude : -magnitude;
        const QString text = CalculatorEngine::resultText(value);
        QVERIFY2(wellFormed.match(text).hasMatch() && text.size() <= 13, qPrintable(text));
        QVERIFY2(std::abs(NumberText::read(text).value() - value) <= halfLastDigit(text) * (1 + 1e-9),
            qPrintable(QStringLiteral("%1 -> %2").arg(value, 0, 'g', 17).arg(text)));
    }
}

void TestCalculatorEngine::slotText_data()
{
    columns<QString, QString>("readout", "slot");

    row("3.3333333333", "3.3333333333", "3.333333");
    row("0.00005", "0.00005", "5.00E-05");
    row("-9999999.", "-9999999.", "-9999999.");
    row("-0. kept as it is", "-0.", "-0.");
    row("0 kept as it is", "0", "0");
    row("just below 0.0001", "0.00009999", "1.00E-04");
    row("just above seven nines", "9999999.5", "1.00E+07");
    row("rounds up to seven nines", "9999998.6", "9999999");
    row("-1234.5678", "-1234.5678", "-1234.57");
    row("halfway to even", "0.0078125", "0.007812");
    row("exponent readout", "1.23E+07", "1.23E+07");
    row("lone minus holds nothing", "-", "");
}

void TestCalculatorEngine::slotText()
{
    QFETCH(QString, readout);
    QTEST(CalculatorEngine::slotText(readout), "slot");
}

void TestCalculatorEngine::readNumber_data()
{
    columns<QString, bool, double>("text", "isNumber", "value");

    row("05.", "05.", true, 5.0);
    row("-4.50E-09", "-4.50E-09", true, -4.5e-9);
    row("too small is zero", "1E-400", true, 0.0);
    row("lone minus", "-", false, 0.0);
    row("empty", "", false, 0.0);
    row("beyond the double range", "1E+400", false, 0.0);
    row("comma", "1,5", false, 0.0);
    row("two points", "1.2.3", false, 0.0);
    row("inf", "inf", false, 0.0);
}

void TestCalculatorEngine::readNumber()
{
    auto [text, isNumber] = fetch<QString, bool>("text", "isNumber");
    const std::optional<double> value = NumberText::read(text);
    QCOMPARE(value.has_value(), isNumber);
    if (isNumber)
        QTEST(*value, "value");
}

void TestCalculatorEngine::roundHalfEven_data()
{
    columns<double, int>("value", "places");
    QTest::addColumn<QString>("rounded"); // compared as text, so that 0.12 and 0.13 are not "fuzzy equal"

    row("2.5", 2.5, 0, "2");
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
    auto [value, places] = fetch<double, int>("value", "places");
    QTEST(QString::number(NumberText::roundHalfEven(value, places), 'g', 15), "rounded");
}

void TestCalculatorEngine::typedKey_data()
{
    columns<int, QString>("key", "text");
    QTest::addColumn<QString>("typed"); // empty: not a key of the calculator

    row("digit", int(Qt::Key_7), "7", "7");
    row("Return is =", int(Qt::Key_Return), "\r", "\r");
    row("Escape is C", int(Qt::Key_Escape), "\x1b", "\x1b");
    row("Delete is C", int(Qt::Key_Delete), "", "\x1b");
    row("Page Down is C", int(Qt::Key_PageDown), "", "\x1b");
    row("lower-case c is CE", int(Qt::Key_C), "c", "c");
    row("upper-case C is nothing", int(Qt::Key_C), "C", "");
    row("x is nothing", int(Qt::Key_X), "x", "");
    row("Backspace is nothing", int(Qt::Key_Backspace), "\b", "");
    row("another script's digit is nothing", int(Qt::Key_unknown), "\u0663", "");
}

void TestCalculatorEngine::typedKey()
{
    auto [key, text] = fetch<int, QString>("key", "text");
    const std::optional<QChar> typed = CalculatorEngine::typedKey(key, text);
    QTEST(typed ? QString(*typed) : QString(), "typed");
}

QTEST_GUILESS_MAIN(TestCalculatorEngine)
#include "tst_calculatorengine.moc"
