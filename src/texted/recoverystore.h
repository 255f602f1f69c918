#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// Documents kept aside when the program ends with nobody to answer a question (logout, a
// termination signal): each edited document is written as RTF into a folder of the data folder,
// with an index of the file each belonged to and the filter it was saved with, and TextEd offers
// the copies back the next time it opens. A copy leaves the folder only when it is taken back.
class RecoveryStore final
{
public:
    struct Copy
    {
        QString fileName; // inside the folder
        QString path; // the document's own file; empty for a document that never had one
        int filterIndex = 0;
    };

    static QString defaultFolder(); // "TextEd Recovery" in the data folder

    explicit RecoveryStore(const QString &folder = defaultFolder());

    QString folder() const { return m_folder; }

    // Writes one document; false with the reason when the copy could not be written.
    bool keep(const QString &path, int filterIndex, const QByteArray &rtf, QString *error = nullptr);

    // Every copy in the folder, oldest first; a copy the index does not know (a damaged index) is
    // listed too, without a file of its own.
    QList<Copy> copies() const;
    std::optional<QByteArray> read(const Copy &copy) const;
    bool remove(const Copy &copy);

private:
    QList<Copy> indexed() const;
    bool writeIndex(const QList<Copy> &copies, QString *error);

    QString m_folder;
};
