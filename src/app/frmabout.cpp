#include "app/frmabout.h"

#include "app/aboutpanel.h"
#include "widgets/windowhelpers.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

frmAbout::frmAbout(QWidget *parent)
    : QDialog(parent, FixedDialogFlags)
    , m_panel(new AboutPanel(this))
    , m_cmdOK(new QPushButton(tr("OK"), this))
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(tr("About Quillory2"));
    setModal(false);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setDefault(true);
    connect(m_cmdOK, &QPushButton::clicked, this, &frmAbout::close);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cmdOK);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8); // the banner and the frame fill the 362 pixels across
    layout->addWidget(m_panel, 1);
    layout->addLayout(buttons);

    centreAboutWindow(this);
}

void frmAbout::reject()
{
    close();
}

void frmAbout::closeEvent(QCloseEvent *event)
{
    event->accept();
}
