#include "widgets/helpviewer.h"

#include "common/datafolder.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QKeySequence>
#include <QLocale>
#include <QPointer>
#include <QProcess>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QStringList &unavailableTools()
{
    static QStringList tools;
    return tools;
}

// The built-in pages; the index gains a note on the tools this build does not have yet.
class HelpBrowser final : public QTextBrowser
{
public:
    using QTextBrowser::QTextBrowser;

    QVariant loadResource(int type, const QUrl &name) override
    {
        QVariant resource = QTextBrowser::loadResource(type, name);
        if (type != QTextDocument::HtmlResource || name.fileName() != QLatin1String("index.html")
            || unavailableTools().isEmpty())
            return resource;
        QString html = QString::fromUtf8(resource.toByteArray());
        const QString note = HelpViewer::tr("<p><b>Not available yet</b> in this version: %1. Their buttons stay "
                                            "greyed until they are.</p>")
                                 .arg(QLocale().createSeparatedList(unavailableTools()));
        const int listEnd = html.indexOf(QLatin1String("</ul>"));
        if (listEnd >= 0)
            html.insert(listEnd + 5, note);
        return html;
    }
};

} // namespace

HelpViewer::HelpViewer(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_browser(new HelpBrowser(this))
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(tr("Quillory2 Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_browser->setObjectName(QStringLiteral("txtHelp"));
    m_browser->setAccessibleName(tr("Help text"));
    m_browser->setOpenExternalLinks(false);
    connect(m_browser, &QTextBrowser::sourceChanged, this, [this] {
        const QString title = m_browser->documentTitle();
        setWindowTitle(title.isEmpty() ? tr("Quillory2 Help") : title);
    });
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(560, 520);
}

void HelpViewer::setUnavailable(const QStringList &tools)
{
    unavailableTools() = tools;
}

QStringList HelpViewer::unavailable()
{
    return unavailableTools();
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
