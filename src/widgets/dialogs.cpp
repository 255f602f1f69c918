#include "widgets/dialogs.h"

#include "common/textfile.h"

#include <QDir>
#include <QGridLayout>
#include <QMessageBox>

namespace Dialogs {
namespace {

Recorder *s_recorder = nullptr;
bool s_canAsk = true;

QMessageBox::Icon boxIcon(Message::Icon icon)
{
    switch (icon) {
    case Message::Icon::Information: return QMessageBox::Information;
    case Message::Icon::Exclamation: return QMessageBox::Warning;
    case Message::Icon::Question: return QMessageBox::Question;
    case Message::Icon::Critical: return QMessageBox::Critical;
    case Message::Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

void recordShown(const Message &message)
{
    s_recorder->shown.append(message);
    if (s_recorder->onShow)
        s_recorder->onShow(message);
}

int exec(const Message &message, QMessageBox::StandardButtons buttons, QWidget *parent)
{
    QMessageBox box(boxIcon(message.icon), message.title, message.text, buttons, parent);
    box.setObjectName(QStringLiteral("messageBox"));
    // Wide enough for the whole title: reminder titles carry the time and date at their end.
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout())) {
        const int titleWidth = box.fontMetrics().horizontalAdvance(message.title) + 140;
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0,
            1, grid->columnCount());
    }
    return box.exec();
}

} // namespace

void show(const Message &message, QWidget *parent)
{
    if (s_recorder) {
        recordShown(message);
        return;
    }
    exec(message, QMessageBox::Ok, parent);
}

bool ask(const Message &message, QWidget *parent)
{
    if (s_recorder) {
        recordShown(message);
        return !s_recorder->answers.isEmpty() && s_recorder->answers.takeFirst();
    }
    return exec(message, QMessageBox::Yes | QMessageBox::No, parent) == QMessageBox::Yes;
}

Choice askSave(const Message &message, QWidget *parent)
{
    if (s_recorder) {
        recordShown(message);
        return s_recorder->choices.isEmpty() ? Choice::Cancel : s_recorder->choices.takeFirst();
    }
    switch (exec(message, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent)) {
    case QMessageBox::Save: return Choice::Save;
    case QMessageBox::Discard: return Choice::Discard;
    default: return Choice::Cancel;
    }
}

bool canAsk()
{
    return s_canAsk;
}

void setCanAsk(bool canAsk)
{
    s_canAsk = canAsk;
}

Message writeFailedMessage(const QString &path, const QString &reason)
{
    return { Message::Icon::Exclamation, QObject::tr("Quillory2: Cannot save the file"),
        QObject::tr("THE FILE COULD NOT BE SAVED\r\n\r\n%1\r\n%2\r\n\r\nSolution:\r\n"
                    "Make room on the disk or make the folder writable, then try again.\r\n"
                    "Nothing has been lost: what you see on screen is kept.")
            .arg(QDir::toNativeSeparators(path), reason) };
}

bool writeTextFile(const QString &path, const QString &text, QWidget *parent)
{
    QString reason;
    if (WriteTextFile(path, text, &reason))
        return true;
    show(writeFailedMessage(path, reason), parent);
    return false;
}

void record(Recorder *recorder)
{
    s_recorder = recorder;
}

} // namespace Dialogs
