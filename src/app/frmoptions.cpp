#include "app/frmoptions.h"

#include "app/frmqy2.h"
#include "common/autostart.h"
#include "common/settings.h"
#include "widgets/dialogs.h"
#include "widgets/windowhelpers.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

frmOptions::frmOptions(frmQY2 &main, QWidget *parent)
    : QDialog(parent, FixedDialogFlags)
    , m_main(main)
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(tr("Options"));
    setModal(false);
    buildControls();
    Form_Load();
}

void frmOptions::buildControls()
{
    auto *fraStartup = new QGroupBox(tr("Startup"), this);
    fraStartup->setObjectName(QStringLiteral("fraStartup"));
    m_chkShowSplashScreen = new QCheckBox(tr("Show Splash Screen"), fraStartup);
    m_chkShowSplashScreen->setObjectName(QStringLiteral("chkShowSplashScreen"));
    m_chkShowToolBar = new QCheckBox(tr("Show ToolBar"), fraStartup);
    m_chkShowToolBar->setObjectName(QStringLiteral("chkShowToolBar"));
    m_chkStartWithDesktop = new QCheckBox(tr("Start with the desktop"), fraStartup);
    m_chkStartWithDesktop->setObjectName(QStringLiteral("chkStartWithDesktop"));
    m_chkStartWithDesktop->setToolTip(tr("Start Quillory2 at every login, so that no reminder is missed"));
    m_chkStartWithDesktop->setAccessibleName(tr("Start with the desktop"));
    auto *startup = new QVBoxLayout(fraStartup);
    // Three lines in the height two took, so that the dialog keeps its size: the boxes stand without
    // gaps, as in a list, and closer to the frame's top and bottom edges.
    const QMargins edges = startup->contentsMargins();
    startup->setContentsMargins(edges.left(), 2, edges.right(), 2);
    startup->setSpacing(0);
    startup->addWidget(m_chkShowSplashScreen);
    startup->addWidget(m_chkShowToolBar);
    startup->addWidget(m_chkStartWithDesktop);

    auto *fraSystray = new QGroupBox(tr("Systray"), this);
    fraSystray->setObjectName(QStringLiteral("fraSystray"));
    m_chkAutoPopUpMenu = new QCheckBox(tr("Auto PopUp Menu"), fraSystray);
    m_chkAutoPopUpMenu->setObjectName(QStringLiteral("chkAutoPopUpMenu"));
    auto *lblPopUpTime = new QLabel(tr("PopUpMenu time"), fraSystray);
    lblPopUpTime->setObjectName(QStringLiteral("lblPopUpTime"));
    m_sldPopUpDelay = new QSlider(Qt::Horizontal, fraSystray);
    m_sldPopUpDelay->setObjectName(QStringLiteral("sldPopUpDelay"));
    m_sldPopUpDelay->setRange(MinDelay, MaxDelay);
    m_sldPopUpDelay->setSingleStep(1);
    m_sldPopUpDelay->setPageStep(5);
    m_sldPopUpDelay->setTickPosition(QSlider::TicksBelow);
    m_sldPopUpDelay->setTickInterval(1);
    m_sldPopUpDelay->setAccessibleName(tr("PopUpMenu time"));
    lblPopUpTime->setBuddy(m_sldPopUpDelay);
    m_lblPopUpSpeed = new QLabel(fraSystray);
    m_lblPopUpSpeed->setObjectName(QStringLiteral("lblPopUpSpeed"));
    m_lblPopUpSpeed->setMinimumWidth(m_lblPopUpSpeed->fontMetrics().horizontalAdvance(QStringLiteral("99")));
    m_lblPopUpSpeed->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(m_sldPopUpDelay, &QSlider::valueChanged, m_lblPopUpSpeed,
        [this](int value) { m_lblPopUpSpeed->setText(QString::number(value)); });
    auto *delayRow = new QHBoxLayout;
    delayRow->addWidget(m_sldPopUpDelay, 1);
    delayRow->addWidget(m_lblPopUpSpeed);
    auto *systray = new QVBoxLayout(fraSystray);
    systray->addWidget(m_chkAutoPopUpMenu);
    systray->addWidget(lblPopUpTime);
    systray->addLayout(delayRow);

    m_cmdOK = new QPushButton(tr("OK"), this);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setDefault(true);
    m_cmdCancel = new QPushButton(tr("Cancel"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cmdApply = new QPushButton(tr("Apply"), this);
    m_cmdApply->setObjectName(QStringLiteral("cmdApply"));
    connect(m_cmdOK, &QPushButton::clicked, this, &frmOptions::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmOptions::close);
    connect(m_cmdApply, &QPushButton::clicked, this, &frmOptions::ApplyOptions);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_cmdOK);
    buttons->addWidget(m_cmdCancel);
    buttons->addWidget(m_cmdApply);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(6, 6, 6, 6); // the whole dialog is 271 pixels square, its frame included
    column->addWidget(fraStartup);
    column->addWidget(fraSystray);
    column->addStretch(1);
    column->addLayout(buttons);
}

void frmOptions::Form_Load()
{
    fixOuterSizeTwips(this, QSizeF(SizeTwips, SizeTwips));
    restorePlacement(this, Key::OptionsLeft, Key::OptionsTop);

    // Only a held 1 shows as ticked; a delay the slider cannot show is brought into its range.
    m_chkAutoPopUpMenu->setChecked(m_main.isAutoPopUpOn());
    m_sldPopUpDelay->setValue(std::clamp(int(m_main.popUpDelay()), MinDelay, MaxDelay));
    m_lblPopUpSpeed->setText(QString::number(m_sldPopUpDelay->value()));
    m_chkShowSplashScreen->setChecked(Settings::readTruth(Key::ShowSplash));
    m_chkShowToolBar->setChecked(Settings::readTruth(Key::ShowToolBar));
    m_chkStartWithDesktop->setChecked(Autostart::isOn());
}

bool frmOptions::ApplyOptions()
{
    m_main.setAutoPopUpMenu(m_chkAutoPopUpMenu->isChecked() ? 1 : 0);
    m_main.setPopUpDelay(qint16(m_sldPopUpDelay->value()));
    return applyStartWithDesktop();
}

bool frmOptions::applyStartWithDesktop()
{
    const std::optional<Message> failure
        = Autostart::setOn(m_chkStartWithDesktop->isChecked(), QCoreApplication::applicationFilePath());
    if (!failure)
        return true;
    m_chkStartWithDesktop->setChecked(Autostart::isOn());
    Dialogs::show(*failure, this); // last: the program may end, and delete this dialog, while the box is open
    return false;
}

void frmOptions::cmdOK_Click()
{
    // When the login entry could not be changed the dialog stays, showing the state that holds.
    if (ApplyOptions())
        close();
}

void frmOptions::reject()
{
    close();
}

void frmOptions::closeEvent(QCloseEvent *event)
{
    // However the dialog closes, the start-up choices and its place are kept.
    savePlacement(this, Key::OptionsLeft, Key::OptionsTop);
    Settings::saveCheckState(Key::ShowSplash, m_chkShowSplashScreen->isChecked());
    Settings::saveCheckState(Key::ShowToolBar, m_chkShowToolBar->isChecked());
    event->accept();
}
