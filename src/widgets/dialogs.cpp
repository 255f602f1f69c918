#include "widgets/dialogs.h"

#include "common/textfile.h"

#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>

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

// The box lives on the heap: when the program ends while it is open, its parent window is deleted and
// takes the box with it; the caller then gets Cancel (No, OK) back instead of a crash.
int exec(const Message &message, QMessageBox::StandardButtons buttons, QWidget *parent)
{
    QPointer<QMessageBox> box = new QMessageBox(boxIcon(message.icon), message.title, message.text, buttons, parent);
    box->setObjectName(QStringLiteral("messageBox"));
    // Wide enough for the whole title: reminder titles carry the time and date at their end.
    if (auto *grid = qobject_cast<QGridLayout *>(box->layout())) {
        const int titleWidth = box->fontMetrics().horizontalAdvance(message.title) + 140;
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0,
            1, grid->columnCount());
    }
    const int result = box->exec();
    if (!box)
        return QMessageBox::Cancel;
    delete box;
    return result;
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

std::optional<FileChoice> chooseFile(const FileRequest &request, QWidget *parent)
{
    if (s_recorder) {
        s_recorder->fileRequests.append(request);
        return s_recorder->files.isEmpty() ? std::nullopt : s_recorder->files.takeFirst();
    }
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
    const bool accepted = dialog->exec() == QDialog::Accepted;
    if (!dialog) // the program ended while the dialog was open
        return std::nullopt;
    std::optional<FileChoice> choice;
    if (accepted && !dialog->selectedFiles().isEmpty())
        choice = FileChoice { dialog->selectedFiles().constFirst(),
            int(request.filters.indexOf(dialog->selectedNameFilter())) + 1 };
    delete dialog;
    return choice;
}

bool choosePrinter(QPrinter &printer, bool selection, QWidget *parent)
{
    printer.setPrintRange(selection ? QPrinter::Selection : QPrinter::AllPages);
    if (s_recorder)
        return s_recorder->print && s_recorder->print(printer, selection);
    QPointer<QPrintDialog> dialog = new QPrintDialog(&printer, parent);
    QAbstractPrintDialog::PrintDialogOptions options = dialog->options();
    options.setFlag(QAbstractPrintDialog::PrintPageRange, false);
    options.setFlag(QAbstractPrintDialog::PrintSelection, selection);
    dialog->setOptions(options);
    const bool accepted = dialog->exec() == QDialog::Accepted;
    if (!dialog)
        return false;
    delete dialog;
    return accepted;
}

void record(Recorder *recorder)
{
    s_recorder = recorder;
}

} // namespace Dialogs
