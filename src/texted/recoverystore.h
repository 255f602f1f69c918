#pragma once

#include "texted/textedfiles.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// Copies of edited documents, kept so that a crash, a kill or a lost display costs at most the last
// few seconds of typing: TextEd writes each edited document as RTF into a folder of the data folder
// shortly after it changes (and when the program ends with nobody to answer a question), with an
// index of the file each belonged to and the filter it is saved with, and offers the copies back
// the next time it opens. A document keeps its one copy, rewritten as it changes; the copy goes
// only when its document is saved or its changes are discarded.
class RecoveryStore final
{
public:
    struct Copy
    {
        QString fileName; // inside the folder; empty until the copy is first written
        QString path; // the document's own file; empty for a document that never had one
        int filterIndex = 0;
        TextEdFiles::FileStamp stamp; // what the document's file was when it was last read or written
    };

    static QString defaultFolder(); // "TextEd Recovery" in the data folder

    explicit RecoveryStore(const QString &folder = defaultFolder());

    QString folder() const { return m_folder; }
    QString filePath(const Copy &copy) const;

    // Writes the copy: a new one (copy.fileName is then set) or over the same one, whose index entry
    // takes the path and filter given. False with the reason when it could not be written.
    bool keep(Copy &copy, const QByteArray &rtf, QString *error = nullptr);

    // Every copy in the folder, oldest first; a copy the index does not know (a damaged index) is
    // listed too, without a file of its own.
    QList<Copy> copies() const;
    // The copy's bytes; nullopt with the reason when it is not a regular file or cannot be read.
    std::optional<QByteArray> read(const Copy &copy, QString *error = nullptr) const;
    bool remove(const Copy &copy);

private:
    QList<Copy> indexed() const;
    bool writeIndex(const QList<Copy> &copies, QString *error);

    QString m_folder;
};
