#include "widgets/helpviewer.h"

#include "common/datafolder.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QHash>
#include <QPointer>
#include <QProcess>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HelpViewer::HelpViewer(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(tr("Quillory2 Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_browser->setObjectName(QStringLiteral("txtHelp"));
    m_browser->setOpenExternalLinks(false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(560, 520);
}

namespace {
QHash<int, QString> &pages()
{
    static QHash<int, QString> byTopic;
    return byTopic;
}
} // namespace

void HelpViewer::addPage(int contextId, const QString &page)
{
    pages().insert(contextId, page);
}

QString HelpViewer::pageForTopic(int contextId)
{
    return QStringLiteral("qrc:/help/") + pages().value(contextId, QStringLiteral("index.html"));
}

void HelpViewer::showTopic(int contextId)
{
    m_browser->setSource(QUrl(pageForTopic(contextId)));
    show();
    raise();
    activateWindow();
}

HelpViewer *HelpViewer::instance()
{
    static QPointer<HelpViewer> viewer;
    if (!viewer)
        viewer = new HelpViewer;
    return viewer;
}

namespace {

bool desktopOpensChm()
{
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
        { QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("application/vnd.ms-htmlhelp") });
    return query.waitForFinished(2000) && query.exitCode() == 0 && !query.readAllStandardOutput().trimmed().isEmpty();
}

} // namespace

void ShowHelpTopic(QWidget *owner, int command, int contextId)
{
    Q_UNUSED(owner);
    const QString chm = DataFolder::filePath(QStringLiteral("qy2.chm"));
    if (QFileInfo::exists(chm) && desktopOpensChm() && QDesktopServices::openUrl(QUrl::fromLocalFile(chm)))
        return;
    HelpViewer::instance()->showTopic(command == HelpDisplayTopic ? 0 : contextId);
}
