#include "calculator/calculatorengine.h"

#include "calculator/numbertext.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace {

const QString Operators = QStringLiteral("+-X*/=");

// Above two operands nothing is defined, so the count stops at 2: the next operator key then carries
// out the pending operation with the readout of that moment (a percent key pressed twice, or a number
// typed after percent, no longer leaves the calculator stuck until C).
qint16 countOneMore(qint16 count)
{
    return qint16(std::min(count + 1, 2));
}

// A number text the calculator can compute with: a nonzero number must not vanish to zero either
// (a recalled "1.23E-07" extended to "1.23E-0755").
bool holdsNumber(const QString &text)
{
    const std::optional<double> value = NumberText::read(text);
    if (!value)
        return false;
    static const QRegularExpression nonzeroDigit(QStringLiteral("^[^E]*[1-9]"));
    return *value != 0 || !nonzeroDigit.match(text).hasMatch();
}

bool isWhole(double value)
{
    return value == std::trunc(value);
}

// The shortest of the value rounded to maxPlaces, maxPlaces - 1, ... 0 decimal places whose general
// text fits in width characters, with a closing "." for a whole value.
QString fittedText(double value, int maxPlaces, int width)
{
    QString text;
    for (int places = maxPlaces; places >= 0; --places) {
        text = NumberText::general(NumberText::roundHalfEven(value, places));
        if (text.size() <= width)
            break;
    }
    return isWhole(value) ? text + QLatin1Char('.') : text;
}

} // namespace

void CalculatorEngine::EnterDigit(QChar digit)
{
    if (digit < u'0' || digit > u'9')
        return;
    QString text = m_readout;
    bool point = m_pointEntered;
    if (m_lastInputKind != InputKind::Nums) {
        text = QStringLiteral(".");
        point = false;
    }
    if (point) {
        text += digit;
    } else {
        // Digits before the point grow to the left of the closing point. A recalled zero may hold no
        // point at all: then the whole text is the part before it.
        text = text.left(text.indexOf(QLatin1Char('.'))) + digit + QLatin1Char('.');
    }
    if (m_lastInputKind == InputKind::Neg)
        text.prepend(QLatin1Char('-'));
    // A digit that would take the number beyond the double range, either end, is refused.
    if (!holdsNumber(text))
        return;
    m_readout = text;
    m_pointEntered = point;
    m_lastInputKind = InputKind::Nums;
}

void CalculatorEngine::EnterPoint()
{
    if (m_lastInputKind == InputKind::Neg)
        m_readout = QStringLiteral("-0.");
    else if (m_lastInputKind != InputKind::Nums)
        m_readout = QStringLiteral("0.");
    m_pointEntered = true;
    m_lastInputKind = InputKind::Nums;
}

std::optional<Message> CalculatorEngine::EnterOperator(QChar op)
{
    if (!Operators.contains(op))
        return std::nullopt;
    std::optional<Message> message;
    m_readoutSnapshot = m_readout;
    if (m_lastInputKind == InputKind::Nums)
        m_operandCount = countOneMore(m_operandCount);
    switch (m_operandCount) {
    case 0:
        if (op == u'-' && m_lastInputKind != InputKind::Neg) {
            m_readout.prepend(QLatin1Char('-'));
            m_lastInputKind = InputKind::Neg;
        }
        break;
    case 1:
        m_firstOperand = m_readout;
        if (op == u'-' && m_lastInputKind != InputKind::Nums && m_pendingOperator != u'=') {
            m_readout = QStringLiteral("-");
            m_lastInputKind = InputKind::Neg;
        }
        break;
    default:
        message = carryOut();
        ShowResult(m_firstOperand);
        m_operandCount = 1;
        break;
    }
    if (m_lastInputKind != InputKind::Neg) {
        m_lastInputKind = InputKind::Ops;
        m_pendingOperator = op;
    }
    return message;
}

std::optional<Message> CalculatorEngine::carryOut()
{
    m_secondOperand = m_readoutSnapshot;
    if (m_firstOperand == Operand(QStringLiteral("-")))
        m_firstOperand = 0.0;
    const double first = valueOf(m_firstOperand);
    const double second = valueOf(m_secondOperand);
    double result = first;
    switch (m_pendingOperator.unicode()) {
    case u'+': result = first + second; break;
    case u'-': result = first - second; break;
    case u'X':
    case u'*':
    case u'%': result = first * second; break;
    case u'=': result = second; break;
    case u'/':
        if (second == 0)
            return divideByZeroMessage();
        result = first / second;
        break;
    default: break;
    }
    // A result beyond the double range is refused like a division by zero: the first operand stays.
    if (!std::isfinite(result))
        return overflowMessage();
    m_firstOperand = result;
    return std::nullopt;
}

void CalculatorEngine::ApplyPercent()
{
    // A lone "-" (the start of a negative number) has no value to take a percentage of: the key is ignored.
    const std::optional<double> value = NumberText::read(m_readout);
    if (!value)
        return;
    m_readout = NumberText::general(*value / 100);
    m_lastInputKind = InputKind::Ops;
    m_pendingOperator = u'%';
    m_operandCount = countOneMore(m_operandCount);
    m_pointEntered = true;
}

void CalculatorEngine::ClearEntry()
{
    m_readout = QStringLiteral("0.");
    m_pointEntered = false;
    m_lastInputKind = InputKind::CE;
}

void CalculatorEngine::ClearAll()
{
    m_readout = QStringLiteral("0.");
    m_firstOperand = 0.0;
    m_secondOperand = 0.0;
    m_readoutSnapshot.clear();
    m_pointEntered = false;
    m_operandCount = 0;
    m_lastInputKind = InputKind::None;
    m_pendingOperator = NoOperator;
}

void CalculatorEngine::RecallMemory(int slot)
{
    if (slot < 0 || slot >= SlotCount)
        return;
    m_readout = m_slots[size_t(slot)];
    m_lastInputKind = InputKind::Nums;
}

void CalculatorEngine::StoreMemory(int slot)
{
    if (slot < 0 || slot >= SlotCount)
        return;
    // A lone "-" holds no number: the slot keeps what it had.
    const QString text = slotText(m_readout);
    if (!text.isEmpty())
        m_slots[size_t(slot)] = text;
}

void CalculatorEngine::ShowResult(const Operand &value)
{
    m_readout = resultText(valueOf(value));
}

QString CalculatorEngine::slot(int slot) const
{
    return slot >= 0 && slot < SlotCount ? m_slots[size_t(slot)] : QString();
}

QString CalculatorEngine::resultText(double value)
{
    if (value == 0)
        return QStringLiteral("0.");
    const double magnitude = std::abs(value);
    if (magnitude > 99999999999.0 || magnitude < 0.00000001)
        return NumberText::scientific(value);
    return fittedText(value, 10, 12);
}

QString CalculatorEngine::slotText(const QString &readout)
{
    const std::optional<double> value = NumberText::read(readout);
    if (!value)
        return {};
    const double magnitude = std::abs(*value);
    if (magnitude > 9999999.0)
        return NumberText::scientific(*value);
    if (magnitude < 0.0001)
        return *value == 0 ? readout : NumberText::scientific(*value);
    return fittedText(*value, 6, 8);
}

double CalculatorEngine::valueOf(const Operand &operand)
{
    if (const double *number = std::get_if<double>(&operand))
        return *number;
    // The empty operand of a fresh calculator and a lone "-" read as 0.
    return NumberText::read(std::get<QString>(operand)).value_or(0);
}

Message CalculatorEngine::divideByZeroMessage()
{
    return { Message::Icon::Exclamation, tr("Quillory2: Cannot divide by zero"),
        tr("PLEASE USE A NON-ZERO NUMBER\r\n"
           "\r\n"
           "You are receiving this message because\r\n"
           "you are attempting to divide a\r\n"
           "number by zero.\r\n"
           "\r\n"
           "Solution:\r\n"
           "Make sure the denominator is non-zero.") };
}

Message CalculatorEngine::overflowMessage()
{
    return { Message::Icon::Exclamation, tr("Quillory2: Number too large"),
        tr("THE RESULT IS TOO LARGE\r\n"
           "\r\n"
           "You are receiving this message because\r\n"
           "the result of this calculation lies beyond\r\n"
           "the largest number the calculator can hold.\r\n"
           "\r\n"
           "Solution:\r\n"
           "Use smaller numbers, or press C to start again.") };
}

std::optional<QChar> CalculatorEngine::typedKey(int key, const QString &text)
{
    switch (key) {
    case Qt::Key_Escape:
    case Qt::Key_Delete:
    case Qt::Key_PageDown: return QChar(27);
    case Qt::Key_Return:
    case Qt::Key_Enter: return QChar(13);
    default: break;
    }
    const QChar c = text.size() == 1 ? text.at(0) : QChar();
    if ((c >= u'0' && c <= u'9') || QStringLiteral("+-*/=%.c").contains(c))
        return c;
    return std::nullopt;
}
