#include "calculator/frmcalculator.h"

#include "common/settingskeys.h"
#include "widgets/accessiblenames.h"
#include "widgets/dialogs.h"
#include "widgets/windowhelpers.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <algorithm>

namespace {

// The window has a fixed layout: a client area of 2625 x 3630 twips, positions in logical pixels.
constexpr int ClientWidth = 2625 / 15;
constexpr int ClientHeight = 3630 / 15;
constexpr int SlotHeight = 25;
constexpr int FrameTop = 3 * SlotHeight + 1;
constexpr int KeyWidth = 31;
constexpr int KeyHeight = 27;
constexpr int KeyLeft = 6;
constexpr int KeyTop = 40;
constexpr int KeyStepX = KeyWidth + 2;
constexpr int KeyStepY = KeyHeight + 2;

int textWidth(const QLabel *label)
{
    return label->contentsRect().width() - label->indent() - 1;
}

QRect keyRect(int row, int column)
{
    return { KeyLeft + column * KeyStepX, KeyTop + row * KeyStepY, KeyWidth, KeyHeight };
}

// Fonts are sized in pixels so that the text keeps its place in the fixed layout at any screen density.
QFont pixelFont(const QString &family, int pixelSize, bool bold = false)
{
    QFont result;
    result.setFamilies({ family });
    result.setStyleHint(QFont::SansSerif);
    result.setPixelSize(pixelSize);
    result.setBold(bold);
    return result;
}

// The largest size up to the font's own whose rendering of every text fits in width pixels: the
// fonts of the design may be missing and their stand-ins run wider.
QFont fitted(QFont font, const QStringList &texts, int width)
{
    for (; font.pixelSize() > 8; font.setPixelSize(font.pixelSize() - 1)) {
        const QFontMetrics metrics(font);
        if (std::all_of(texts.begin(), texts.end(),
                [&](const QString &text) { return metrics.horizontalAdvance(text) <= width; }))
            break;
    }
    return font;
}

// The widest texts a result and a stored value take.
const QStringList WidestResults
    = { QStringLiteral("-99999999999."), QStringLiteral("-0.0004882812"), QStringLiteral("-1.00E+100") };
const QStringList WidestSlots = { QStringLiteral("-9999999."), QStringLiteral("-1.23E+07") };

const QString Tahoma = QStringLiteral("Tahoma");
const QString Arial = QStringLiteral("Arial");
constexpr char OperatorCaptions[] = "/+X-=";
constexpr int EqualsIndex = 4;

} // namespace

frmCalculator::frmCalculator(QWidget *parent)
    : QWidget(parent, FixedDialogFlags)
{
    setObjectName(QStringLiteral("frmCalculator"));
    setWindowTitle(tr("Calculator"));
    setFixedSize(ClientWidth, ClientHeight);
    createControls();
    placeControls();
    restorePlacement(this, Key::CalculatorLeft, Key::CalculatorTop);
    showEngine();
    focusStep();
    bindKeepOnTop(m_chkOnTop, this, Key::CalculatorOnTop);
}

void frmCalculator::createControls()
{
    for (int i = 0; i < CalculatorEngine::SlotCount; ++i) {
        QLabel *slot = new QLabel(this);
        slot->setObjectName(QStringLiteral("lblDisplay%1").arg(i));
        slot->setBackgroundRole(QPalette::Base);
        slot->setForegroundRole(QPalette::Text);
        slot->setAutoFillBackground(true);
        slot->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        slot->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        slot->setIndent(3);
        slot->setToolTip(tr("TO BIG <(L)-CLICK-(R)> FROM BIG"));
        slot->setAccessibleDescription(tr("Memory %1").arg(i + 1)); // the name stays empty: the value is read
        m_lblDisplay[size_t(i)] = slot;
    }

    m_fraCalc = new QFrame(this);
    m_fraCalc->setObjectName(QStringLiteral("fraCalc"));
    m_fraCalc->setFrameStyle(QFrame::Box | QFrame::Sunken);

    m_lblReadout = new QLabel(m_fraCalc);
    m_lblReadout->setObjectName(QStringLiteral("lblReadout"));
    QPalette readoutColours = m_lblReadout->palette();
    readoutColours.setColor(QPalette::Window, QColor(64, 64, 64));
    readoutColours.setColor(QPalette::WindowText, QColor(0, 255, 0));
    m_lblReadout->setPalette(readoutColours);
    m_lblReadout->setAutoFillBackground(true);
    m_lblReadout->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_lblReadout->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_lblReadout->setIndent(4);
    m_lblReadout->setToolTip(tr("CLICK (Copy to clipboard)"));
    m_lblReadout->setAccessibleDescription(tr("Readout"));

    for (int i = 0; i < int(m_number.size()); ++i) {
        m_number[size_t(i)] = createKey(QStringLiteral("Number%1").arg(i), QString::number(i));
        connect(m_number[size_t(i)], &QPushButton::clicked, this, [this, i] { Number_Click(i); });
    }
    for (int i = 0; i < int(m_operator.size()); ++i) {
        const QString caption { QLatin1Char(OperatorCaptions[i]) };
        m_operator[size_t(i)] = createKey(QStringLiteral("Operator%1").arg(i), caption);
        connect(m_operator[size_t(i)], &QPushButton::clicked, this, [this, i] { Operator_Click(i); });
    }
    m_operator[EqualsIndex]->setFont(pixelFont(Arial, 19, true));
    m_decimal = createKey(QStringLiteral("Decimal"), QStringLiteral("."));
    connect(m_decimal, &QPushButton::clicked, this, &frmCalculator::Decimal_Click);
    m_percent = createKey(QStringLiteral("Percent"), QStringLiteral("%"));
    connect(m_percent, &QPushButton::clicked, this, &frmCalculator::Percent_Click);
    m_cancelEntry = createKey(QStringLiteral("CancelEntry"), QStringLiteral("CE"));
    connect(m_cancelEntry, &QPushButton::clicked, this, &frmCalculator::CancelEntry_Click);
    m_cancel = createKey(QStringLiteral("Cancel"), QStringLiteral("C"));
    connect(m_cancel, &QPushButton::clicked, this, &frmCalculator::Cancel_Click);

    m_chkOnTop = new QCheckBox(m_fraCalc);
    m_chkOnTop->setObjectName(QStringLiteral("chkOnTop"));
    m_chkOnTop->setToolTip(tr("Keep on top"));
    nameFromToolTip(m_chkOnTop);

    // Every typed key reaches the window first, before the control that has the focus; the slots and
    // the readout report their mouse presses here too (see eventFilter).
    const auto controls = findChildren<QWidget *>();
    for (QWidget *control : controls)
        control->installEventFilter(this);
    installEventFilter(this);
}

QPushButton *frmCalculator::createKey(const QString &name, const QString &caption)
{
    QPushButton *key = new QPushButton(caption, m_fraCalc);
    key->setObjectName(name);
    key->setFont(pixelFont(Arial, 16, true));
    key->setAutoDefault(false);
    return key;
}

void frmCalculator::placeControls()
{
    for (int i = 0; i < CalculatorEngine::SlotCount; ++i) {
        const int column = i % 2;
        m_lblDisplay[size_t(i)]->setGeometry(
            column * (ClientWidth / 2 + 1), (i / 2) * SlotHeight, ClientWidth / 2, SlotHeight);
    }
    m_fraCalc->setGeometry(0, FrameTop, ClientWidth, ClientHeight - FrameTop);
    m_lblReadout->setGeometry(KeyLeft, 6, 4 * KeyStepX + KeyWidth, 30);
    m_lblReadout->setFont(fitted(pixelFont(Tahoma, 24), WidestResults, textWidth(m_lblReadout)));
    for (QLabel *slot : m_lblDisplay)
        slot->setFont(fitted(pixelFont(Tahoma, 19), WidestSlots, textWidth(slot)));

    // The keypad in reading order, which is also the tab order; "=" and the keep-on-top box share the
    // last two cells of the bottom row.
    const std::array<std::array<QPushButton *, 5>, 4> keypad = { {
        { m_number[7], m_number[8], m_number[9], m_cancelEntry, m_cancel },
        { m_number[4], m_number[5], m_number[6], m_operator[2], m_operator[0] },
        { m_number[1], m_number[2], m_number[3], m_operator[1], m_operator[3] },
        { m_number[0], m_decimal, m_percent, m_operator[EqualsIndex], nullptr },
    } };
    QWidget *previous = nullptr;
    for (int row = 0; row < int(keypad.size()); ++row) {
        for (int column = 0; column < 5; ++column) {
            QPushButton *key = keypad[size_t(row)][size_t(column)];
            if (!key)
                continue;
            key->setGeometry(keyRect(row, column));
            if (previous)
                setTabOrder(previous, key);
            previous = key;
        }
    }
    // "=" is about 1.4 keys wide and 1.25 keys high.
    const QRect equals(keyRect(3, 3).topLeft(), QSize(KeyWidth * 14 / 10, KeyHeight * 5 / 4));
    m_operator[EqualsIndex]->setGeometry(equals);
    const QRect lastCell = keyRect(3, 4);
    m_chkOnTop->setGeometry(equals.right() + 3, equals.top(), lastCell.right() - equals.right() - 2, equals.height());
    setTabOrder(m_operator[EqualsIndex], m_chkOnTop);
}

bool frmCalculator::isInThisWindow(QObject *object) const
{
    auto *widget = qobject_cast<QWidget *>(object);
    return widget && widget->window() == this;
}

bool frmCalculator::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ChildAdded:
        // A control added later is watched too, so that typed keys still reach the window first.
        if (auto *child = qobject_cast<QWidget *>(static_cast<QChildEvent *>(event)->child()))
            child->installEventFilter(this);
        break;
    case QEvent::KeyPress:
        // Seen here before the control that has the focus handles it; a message box or dialog of the
        // window keeps its own keys.
        if (isInThisWindow(watched) && handleKey(static_cast<QKeyEvent *>(event)))
            return true;
        break;
    case QEvent::MouseButtonPress:
        for (int i = 0; i < CalculatorEngine::SlotCount; ++i) {
            if (watched == m_lblDisplay[size_t(i)]) {
                lblDisplay_MouseDown(i, static_cast<QMouseEvent *>(event)->button());
                return true;
            }
        }
        break;
    case QEvent::MouseButtonRelease:
        if (watched == m_lblReadout) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton && m_lblReadout->rect().contains(mouse->position().toPoint()))
                lblReadout_Click();
            return true;
        }
        break;
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}

bool frmCalculator::handleKey(QKeyEvent *event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    // Space is not in the key table: it must not click the focused key ("=" most of the time). It
    // still ticks the keep-on-top box, which is reached with Tab.
    if (event->key() == Qt::Key_Space)
        return focusWidget() != m_chkOnTop;
    const std::optional<QChar> typed = CalculatorEngine::typedKey(event->key(), event->text());
    return typed && Form_KeyPress(*typed);
}

void frmCalculator::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    focusStep();
}

void frmCalculator::closeEvent(QCloseEvent *event)
{
    savePlacement(this, Key::CalculatorLeft, Key::CalculatorTop);
    saveKeepOnTop(m_chkOnTop, Key::CalculatorOnTop);
    event->accept();
}

void frmCalculator::Number_Click(int index)
{
    m_engine.EnterDigit(QChar(u'0' + index));
    showEngine();
    focusStep();
}

void frmCalculator::Operator_Click(int index)
{
    enterOperator(QLatin1Char(OperatorCaptions[index]));
}

void frmCalculator::Decimal_Click()
{
    m_engine.EnterPoint();
    showEngine();
    focusStep();
}

void frmCalculator::Percent_Click()
{
    m_engine.ApplyPercent();
    showEngine();
    focusStep();
}

void frmCalculator::CancelEntry_Click()
{
    m_engine.ClearEntry();
    showEngine();
    focusStep();
}

void frmCalculator::Cancel_Click()
{
    m_engine.ClearAll();
    showEngine();
    focusStep();
}

void frmCalculator::lblDisplay_MouseDown(int index, Qt::MouseButton button)
{
    if (button == Qt::RightButton)
        m_engine.StoreMemory(index); // "FROM BIG"
    else
        m_engine.RecallMemory(index); // "TO BIG"
    showEngine();
}

void frmCalculator::lblReadout_Click()
{
    QApplication::clipboard()->setText(m_engine.readout());
}

bool frmCalculator::Form_KeyPress(QChar typed)
{
    if (typed >= u'0' && typed <= u'9')
        Number_Click(typed.digitValue());
    else if (QStringLiteral("+-*/=").contains(typed))
        enterOperator(typed);
    else if (typed == u'%')
        Percent_Click();
    else if (typed == u'.')
        Decimal_Click();
    else if (typed == QChar(13))
        enterOperator(u'=');
    else if (typed == QChar(27))
        Cancel_Click();
    else if (typed == u'c') // upper-case C does nothing
        CancelEntry_Click();
    else
        return false;
    return true;
}

void frmCalculator::enterOperator(QChar op)
{
    // The message box is shown while the readout still holds the old text; the result follows it.
    if (const std::optional<Message> message = m_engine.EnterOperator(op))
        Dialogs::show(*message, this);
    showEngine();
    focusStep();
}

void frmCalculator::showEngine()
{
    m_lblReadout->setText(m_engine.readout());
    for (int i = 0; i < CalculatorEngine::SlotCount; ++i)
        m_lblDisplay[size_t(i)]->setText(m_engine.slot(i));
}

void frmCalculator::focusStep()
{
    m_operator[EqualsIndex]->setFocus(Qt::OtherFocusReason);
}
