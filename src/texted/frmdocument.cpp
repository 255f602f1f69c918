#include "texted/frmdocument.h"

#include "texted/richtextbox.h"

#include <QAction>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QMenu>
#include <QPointer>
#include <QTextDocument>

frmDocument::frmDocument(QWidget *parent)
    : QMdiSubWindow(parent)
{
    setObjectName(QStringLiteral("frmDocument"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_rtfText = new RichTextBox(this);
    m_rtfText->setFont(defaultFont());
    setWidget(m_rtfText);
    setFocusProxy(m_rtfText);
    watch(m_rtfText->document());
    // The frame's Close owns the keys that close a document (two owners would each wait for the other).
    // Its own Close has Ctrl+F4 or Ctrl+W, by desktop.
    for (QAction *command : systemMenu()->actions()) {
        const QList<QKeySequence> keys = command->shortcuts();
        if (keys.contains(QKeySequence(Qt::CTRL | Qt::Key_F4)) || keys.contains(QKeySequence(Qt::CTRL | Qt::Key_W)))
            command->setShortcuts({});
    }
}

void frmDocument::watch(QTextDocument *document)
{
    connect(document, &QTextDocument::contentsChanged, this, [this] {
        m_recoveryDue = true;
        Q_EMIT edited();
    });
    connect(document, &QTextDocument::modificationChanged, this, &QWidget::setWindowModified);
    connect(document, &QTextDocument::modificationChanged, this, &frmDocument::modificationChanged);
}

QTextDocument *frmDocument::document() const
{
    return m_rtfText->document();
}

void frmDocument::setDocument(QTextDocument *document)
{
    QPointer<QTextDocument> old = m_rtfText->document();
    document->setParent(m_rtfText);
    m_rtfText->setFont(document->defaultFont()); // the box's font is what its document falls back to
    m_rtfText->setDocument(document);
    delete old.data(); // unless the box has deleted it already
    m_recoveryDue = false;
    watch(document);
    setWindowModified(document->isModified());
}

void frmDocument::setCaption(const QString &caption)
{
    m_caption = caption;
    // "*" while there are unsaved changes; a "[*]" of the caption itself is written twice to show.
    setWindowTitle(QString(caption).replace(QStringLiteral("[*]"), QStringLiteral("[*][*]")) + QStringLiteral("[*]"));
    m_rtfText->setAccessibleName(caption);
}

void frmDocument::setFilePath(const QString &path)
{
    m_filePath = path;
    setCaption(path);
}

bool frmDocument::isModified() const
{
    return document()->isModified();
}

QFont frmDocument::defaultFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setFamilies({ QStringLiteral("Courier New"), QFontDatabase::systemFont(QFontDatabase::FixedFont).family() });
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(9.75);
    return font;
}

void frmDocument::closeEvent(QCloseEvent *event)
{
    if (m_closeQuestion && !m_closeQuestion(this)) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}
