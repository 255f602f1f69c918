#include "widgets/dialogs.h"

#include "common/textfile.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>

// "qy2.dialogs.info=true" in QT_LOGGING_RULES logs every box as it opens (tests of the whole program
// wait for it).
Q_LOGGING_CATEGORY(lcDialogs, "qy2.dialogs", QtWarningMsg)

namespace Dialogs {
namespace {

Recorder *s_recorder = nullptr;
bool s_canAsk = true;
int s_open = 0; // boxes and dialogs whose exec() has not returned

// Runs the modal dialog; nullopt when the program began ending meanwhile (the dialog was closed
// for it, or deleted with its parent).
template <typename Dialog> std::optional<int> run(QPointer<Dialog> &dialog)
{
    ++s_open;
    const int result = dialog->exec();
    --s_open;
    const bool ended = !dialog || !s_canAsk;
    delete dialog;
    if (ended)
        return std::nullopt;
    return result;
}

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

// The box lives on the heap: should the program end while it is open and its parent window be
// deleted, the box goes with it; the caller then gets nullopt back instead of a crash.
std::optional<int> exec(const Message &message, QMessageBox::StandardButtons buttons, QWidget *parent,
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton)
{
    if (!s_canAsk) {
        qWarning("%s: %s", qUtf8Printable(message.title), qUtf8Printable(message.text));
        return std::nullopt;
    }
    QPointer<QMessageBox> box = new QMessageBox(boxIcon(message.icon), message.title, message.text, buttons, parent);
    box->setObjectName(QStringLiteral("messageBox"));
    if (defaultButton != QMessageBox::NoButton)
        box->setDefaultButton(defaultButton);
    // Wide enough for the whole title: reminder titles carry the time and date at their end.
    if (auto *grid = qobject_cast<QGridLayout *>(box->layout())) {
        const int titleWidth = box->fontMetrics().horizontalAdvance(message.title) + 140;
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0,
            1, grid->columnCount());
    }
    qCInfo(lcDialogs, "message box open: %s", qUtf8Printable(message.title));
    return run(box);
}

} // namespace

bool show(const Message &message, QWidget *parent)
{
    if (s_recorder) {
        recordShown(message);
        return s_canAsk;
    }
    return exec(message, QMessageBox::Ok, parent).has_value();
}

bool ask(const Message &message, QWidget *parent, Default defaultAnswer)
{
    if (s_recorder) {
        s_recorder->askDefaults.append(defaultAnswer);
        recordShown(message);
        return !s_recorder->answers.isEmpty() && s_recorder->answers.takeFirst() && s_canAsk;
    }
    return exec(message, QMessageBox::Yes | QMessageBox::No, parent,
               defaultAnswer == Default::No ? QMessageBox::No : QMessageBox::Yes)
        == QMessageBox::Yes;
}

std::optional<int> runDialog(QDialog *dialog)
{
    QPointer<QDialog> guarded = dialog;
    if (s_recorder) {
        const int result = s_recorder->dialog ? s_recorder->dialog(*dialog) : int(QDialog::Rejected);
        delete guarded;
        return s_canAsk ? std::optional<int>(result) : std::nullopt;
    }
    if (!s_canAsk) {
        delete guarded;
        return std::nullopt;
    }
    qCInfo(lcDialogs, "message box open: %s", qUtf8Printable(dialog->windowTitle()));
    return run(guarded);
}

Choice askSave(const Message &message, QWidget *parent)
{
    if (s_recorder) {
        recordShown(message);
        const Choice choice = s_recorder->choices.isEmpty() ? Choice::Cancel : s_recorder->choices.takeFirst();
        return s_canAsk ? choice : Choice::Cancel;
    }
    switch (exec(message, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent)
                .value_or(QMessageBox::Cancel)) {
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

void closeAllForEnding()
{
    s_canAsk = false;
    while (QWidget *popUp = QApplication::activePopupWidget())
        popUp->close();
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (auto *dialog = qobject_cast<QDialog *>(window); dialog && dialog->isVisible())
            dialog->reject();
    }
}

bool isShowing()
{
    return s_open > 0;
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

std::optional<FileChoice> chooseFile(const FileRequest &request, QWidget *parent)
{
    if (s_recorder) {
        s_recorder->fileRequests.append(request);
        return s_recorder->files.isEmpty() ? std::nullopt : s_recorder->files.takeFirst();
    }
    if (!s_canAsk)
        return std::nullopt;
    QPointer<QFileDialog> dialog = new QFileDialog(parent, request.title);
    dialog->setObjectName(QStringLiteral("dlgCommonDialog"));
    const bool open = request.mode == FileRequest::Mode::Open;
    dialog->setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog->setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog->setNameFilters(request.filters);
    if (request.filterIndex >= 1 && request.filterIndex <= request.filters.size())
        dialog->selectNameFilter(request.filters.at(request.filterIndex - 1));
    if (!request.fileName.isEmpty())
        dialog->selectFile(request.fileName);
    else if (!request.folder.isEmpty())
        dialog->setDirectory(request.folder);
    std::optional<FileChoice> choice;
    QObject::connect(dialog, &QFileDialog::accepted, dialog, [&] {
        if (!dialog->selectedFiles().isEmpty())
            choice = FileChoice { dialog->selectedFiles().constFirst(),
                int(request.filters.indexOf(dialog->selectedNameFilter())) + 1 };
    });
    if (run(dialog) != QDialog::Accepted)
        return std::nullopt;
    return choice;
}

bool choosePrinter(QPrinter &printer, bool selection, QWidget *parent)
{
    printer.setPrintRange(selection ? QPrinter::Selection : QPrinter::AllPages);
    if (s_recorder)
        return s_recorder->print && s_recorder->print(printer, selection);
    if (!s_canAsk)
        return false;
    QPointer<QPrintDialog> dialog = new QPrintDialog(&printer, parent);
    QAbstractPrintDialog::PrintDialogOptions options = dialog->options();
    options.setFlag(QAbstractPrintDialog::PrintPageRange, false);
    options.setFlag(QAbstractPrintDialog::PrintSelection, selection);
    dialog->setOptions(options);
    return run(dialog) == QDialog::Accepted;
}

void record(Recorder *recorder)
{
    s_recorder = recorder;
}

} // namespace Dialogs
