#include "app/aboutpanel.h"

#include "widgets/windowhelpers.h"

#include <QGridLayout>
#include <QIcon>
#include <QLabel>

namespace {

// Drawn through the icon engine, which is loaded only when a picture is first shown, at the screen's
// pixel ratio.
QLabel *picture(const QString &name, const QString &file, QSize size, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setFixedSize(size);
    label->setPixmap(QIcon(QStringLiteral(":/art/") + file).pixmap(size));
    return label;
}

} // namespace

AboutPanel::AboutPanel(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("AboutPanel"));
    m_picture1 = picture(QStringLiteral("Picture1"), QStringLiteral("banner.svg"), QSize(340, 85), this);
    m_picture2 = picture(QStringLiteral("Picture2"), QStringLiteral("quill.svg"), QSize(96, 96), this);
    m_picture3 = picture(QStringLiteral("Picture3"), QStringLiteral("tools.svg"), QSize(176, 32), this);

    m_lblDescription = new QLabel(this);
    m_lblDescription->setObjectName(QStringLiteral("lblDescription"));
    m_lblDescription->setWordWrap(true);
    m_lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_lblDescription->setText(descriptionText());

    m_lblVersion = new QLabel(this);
    m_lblVersion->setObjectName(QStringLiteral("lblVersion"));
    m_lblVersion->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_lblVersion->setText(versionText());

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(12);
    grid->addWidget(m_picture1, 0, 0, 1, 2, Qt::AlignHCenter);
    grid->addWidget(m_picture2, 1, 0, Qt::AlignCenter);
    grid->addWidget(m_lblDescription, 1, 1);
    grid->addWidget(m_picture3, 2, 0, 1, 2, Qt::AlignLeft | Qt::AlignVCenter);
    grid->addWidget(m_lblVersion, 2, 0, 1, 2, Qt::AlignRight | Qt::AlignVCenter);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(1, 1);
}

QString AboutPanel::versionText()
{
    return tr("Version %1.%2.%3").arg(QY2_VERSION_MAJOR).arg(QY2_VERSION_MINOR).arg(QY2_VERSION_PATCH);
}

QString AboutPanel::descriptionText()
{
    return tr("Quillory is your personal desktop assistant, ready to keep track of your daily tasks and make "
              "more efficient use of your time. ");
}

QList<QWidget *> AboutPanel::pictures() const
{
    return { m_picture1, m_picture2, m_picture3 };
}

void centreAboutWindow(QWidget *window)
{
    fixOuterSizeTwips(window, QSizeF(AboutPanel::WidthTwips, AboutPanel::HeightTwips));
    centreWindow(window);
}
