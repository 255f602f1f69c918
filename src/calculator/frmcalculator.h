#pragma once

#include "calculator/calculatorengine.h"

#include <QWidget>
#include <array>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;

// The Calculator window: six memory slots, the readout and the keypad over a CalculatorEngine.
// Every character typed while the window is active goes to the window's own key handling first,
// whichever control has the focus, and after every key the focus returns to "=".
class frmCalculator final : public QWidget
{
    Q_OBJECT

public:
    explicit frmCalculator(QWidget *parent = nullptr);

    const CalculatorEngine &engine() const { return m_engine; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    bool isInThisWindow(QObject *object) const;
    void createControls();
    void placeControls();
    QPushButton *createKey(const QString &name, const QString &caption);

    void Number_Click(int index);
    void Operator_Click(int index);
    void Decimal_Click();
    void Percent_Click();
    void CancelEntry_Click();
    void Cancel_Click();
    void lblDisplay_MouseDown(int index, Qt::MouseButton button);
    void lblReadout_Click();
    bool handleKey(QKeyEvent *event); // true when the key was the calculator's
    bool Form_KeyPress(QChar typed);

    void enterOperator(QChar op);
    void showEngine();
    void focusStep();

    CalculatorEngine m_engine;
    std::array<QLabel *, CalculatorEngine::SlotCount> m_lblDisplay {};
    QFrame *m_fraCalc = nullptr;
    QLabel *m_lblReadout = nullptr;
    std::array<QPushButton *, 10> m_number {};
    std::array<QPushButton *, 5> m_operator {};
    QPushButton *m_decimal = nullptr;
    QPushButton *m_percent = nullptr;
    QPushButton *m_cancelEntry = nullptr;
    QPushButton *m_cancel = nullptr;
    QCheckBox *m_chkOnTop = nullptr;
};
