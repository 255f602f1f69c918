// Any bytes as a to-do list and as the QuickNotes draft: loaded, saved back and loaded again.
// Never crashes; what is saved back loads as the same text, and a draft kept again as the same draft.
#include "common/datafolder.h"
#include "quicknotes/todolists.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
}

// Known, and left to the text file codec: the writer writes U+FEFF as it is, and the reader takes
// one at the start of a line for a UTF-8 byte-order mark and drops it; such a text loses them.
QString withoutMarks(QString text)
{
    return text.remove(QChar::ByteOrderMark);
}

bool sameText(const std::optional<QString> &a, const std::optional<QString> &b)
{
    return a && b && withoutMarks(*a) == withoutMarks(*b);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir folder(
        QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm/qy2-XXXXXX") : QString());
    DataFolder::setPath(folder.path());
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    const QString list = ToDoLists::itemFilePath(int(size % ToDoLists::TitleCount));
    writeFile(list, bytes);
    // The first save may normalise what a UTF-16 file cannot say in UTF-8 (a lone surrogate, a
    // second byte-order mark); from then on a list saved back loads as the same text.
    const std::optional<QString> first = ToDoLists::load(list);
    if (!first || !ToDoLists::save(list, *first))
        std::abort();
    const std::optional<QString> text = ToDoLists::load(list);
    if (!text || !ToDoLists::save(list, *text) || !sameText(ToDoLists::load(list), text))
        std::abort();
    if (!ToDoLists::save(list, *text) || ToDoLists::holdsOtherText(list, *text))
        std::abort(); // the list holds exactly what was saved

    writeFile(ToDoLists::draftFilePath(), bytes);
    const std::optional<ToDoLists::Draft> firstDraft = ToDoLists::loadDraft();
    if (!firstDraft || !ToDoLists::saveDraft(*firstDraft))
        std::abort();
    const std::optional<ToDoLists::Draft> draft = ToDoLists::loadDraft();
    if (!draft || !ToDoLists::saveDraft(*draft))
        std::abort();
    const std::optional<ToDoLists::Draft> again = ToDoLists::loadDraft();
    if (!again || again->position != draft->position || !sameText(again->text, draft->text))
        std::abort();
    ToDoLists::removeDraft();
    return 0;
}
