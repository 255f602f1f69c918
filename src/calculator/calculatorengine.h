#pragma once

#include "common/message.h"

#include <QCoreApplication>
#include <QString>
#include <array>
#include <optional>
#include <variant>

// The calculator: four operations, percent, clear entry, clear and six memory slots, evaluated
// strictly from left to right. The readout text is both what the user sees and the entry buffer:
// digits are appended to it, and an operator key takes its operand from it. frmCalculator passes
// every key to one of the operations below and shows readout() and slot(); the only thing that comes
// back is the message of a division by zero (or of a result beyond the double range).
class CalculatorEngine final
{
    Q_DECLARE_TR_FUNCTIONS(CalculatorEngine)

public:
    // What the last input was: a number typed or recalled (Nums), an operator or percent (Ops),
    // a minus sign that starts a negative number (Neg), a cleared entry (CE), nothing since C (None).
    enum class InputKind { None, Nums, Ops, Neg, CE };
    // A computed number, or a copy of the readout text that is read only when an operation uses it.
    using Operand = std::variant<double, QString>;

    static constexpr int SlotCount = 6;
    static constexpr QChar NoOperator { u' ' };

    void EnterDigit(QChar digit);
    void EnterPoint();
    std::optional<Message> EnterOperator(QChar op); // op is one of + - X * / =
    void ApplyPercent();
    void ClearEntry();
    void ClearAll();
    void RecallMemory(int slot);
    void StoreMemory(int slot);
    void ShowResult(const Operand &value);

    QString readout() const { return m_readout; }
    QString slot(int slot) const;

    int operandCount() const { return m_operandCount; }
    InputKind lastInputKind() const { return m_lastInputKind; }
    QChar pendingOperator() const { return m_pendingOperator; }
    bool pointEntered() const { return m_pointEntered; }
    Operand firstOperand() const { return m_firstOperand; }
    Operand secondOperand() const { return m_secondOperand; }

    // The readout text of a computed value, and the slot text of a readout value.
    static QString resultText(double value);
    static QString slotText(const QString &readout);
    // The key-table character a key of the keyboard stands for: a digit, + - * / = % and ".", 'c' (CE),
    // 27 (C: Escape, Delete, Page Down) or 13 (=: Return, Enter); none for any other key.
    static std::optional<QChar> typedKey(int key, const QString &text);

    static Message divideByZeroMessage();
    static Message overflowMessage();

private:
    static double valueOf(const Operand &operand);
    std::optional<Message> carryOut(); // the pending operation on the two operands

    QString m_readout = QStringLiteral("0.");
    std::array<QString, SlotCount> m_slots = { QStringLiteral("0."), QStringLiteral("0."), QStringLiteral("0."),
        QStringLiteral("0."), QStringLiteral("0."), QStringLiteral("0.") };
    Operand m_firstOperand = QString();
    Operand m_secondOperand = QString();
    QString m_readoutSnapshot;
    bool m_pointEntered = false;
    qint16 m_operandCount = 0;
    InputKind m_lastInputKind = InputKind::None;
    QChar m_pendingOperator = NoOperator;
};
