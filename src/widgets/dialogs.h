#pragma once

#include "common/message.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QDialog;
class QPrinter;
class QWidget;

// The one way the program shows a message box. Tests install a Recorder: then nothing blocks,
// every message is logged, and questions take the recorder's next answer.
namespace Dialogs {

// True when the user closed the box; false when the program ended while it was open (or was
// ending already, when nothing is shown and the message goes to the log).
bool show(const Message &message, QWidget *parent = nullptr);
// True for Yes. A box the ending program closed answers No: a caller for whom No would throw
// something away checks canAsk() first. A question whose Yes destroys data has No as its default
// button, so that Enter or Space on a box that came up unexpectedly keeps the data.
enum class Default { Yes, No };
bool ask(const Message &message, QWidget *parent = nullptr, Default defaultAnswer = Default::Yes);

// A dialog of the caller's (a box with buttons of its own), run modally as every box is; it is deleted
// afterwards. Its result, or nullopt when the program ended while it was open. Under a recorder it is
// not shown: Recorder::dialog answers it (and may press its buttons); without that it is rejected.
std::optional<int> runDialog(QDialog *dialog);

// The question before unsaved work would be lost: Save, Discard or Cancel (Escape cancels).
enum class Choice { Save, Discard, Cancel };
Choice askSave(const Message &message, QWidget *parent = nullptr);

// False while the program ends with nobody to answer (logout, a termination signal): a window then
// asks nothing and keeps unsaved work aside (a recovery copy, a draft) instead of dropping it.
bool canAsk();
void setCanAsk(bool canAsk);
// The program ends with nobody to answer: no more questions, and every open message box, dialog
// and pop-up is closed as if cancelled, so that the code that opened it can finish before the
// shutdown deletes its windows. True while a box or dialog of this namespace is still open.
void closeAllForEnding();
bool isShowing();

// Writes a text file; when that fails the user is told and false comes back (the caller keeps its data).
bool writeTextFile(const QString &path, const QString &text, QWidget *parent = nullptr);
Message writeFailedMessage(const QString &path, const QString &reason);

// The common Open and Save dialogs. Filters are counted from 1 (0: none chosen yet); the file name
// is pre-filled. A name is used exactly as typed: no ending is added.
struct FileRequest
{
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    QString title;
    QStringList filters; // "RTF File (*.rtf)", ...
    QString fileName;
    int filterIndex = 0;
    QString folder; // where the dialog starts when no file name is pre-filled
};
struct FileChoice
{
    QString fileName;
    int filterIndex = 0;
};
std::optional<FileChoice> chooseFile(const FileRequest &request, QWidget *parent = nullptr); // nullopt: cancelled

// The print dialog, without a page-range choice. With selection the Selection option is offered and
// chosen at start. True when the user chose Print: the printer then holds the choices.
bool choosePrinter(QPrinter &printer, bool selection, QWidget *parent = nullptr);

struct Recorder
{
    QList<Message> shown;
    QList<bool> answers; // taken from the front by ask(); No when empty
    QList<Default> askDefaults; // the default button of every question asked, in order
    QList<Choice> choices; // taken from the front by askSave(); Cancel when empty
    std::function<void(const Message &)> onShow; // runs "while the box is open"
    QList<FileRequest> fileRequests; // every file dialog asked for
    QList<std::optional<FileChoice>> files; // taken from the front by chooseFile(); cancelled when empty
    std::function<bool(QPrinter &, bool selection)> print; // answers choosePrinter(); cancelled when unset
    std::function<int(QDialog &)> dialog; // answers runDialog()
};

// nullptr returns to real message boxes.
void record(Recorder *recorder);

} // namespace Dialogs
