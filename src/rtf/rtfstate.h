#pragma once

#include "rtf/rtfkeywords.h"
#include "rtf/rtfsink.h"
#include "rtf/rtftokenizer.h"

#include <QByteArray>

#include <optional>

class RtfColors;
class RtfFonts;

// What a group carries and its subgroups inherit: where its text goes, and the character and
// paragraph properties in force.
struct RtfGroupState
{
    enum class Destination : quint8 {
        Body, // text of the document
        FontTable,
        ColorTable,
        StyleSheet,
        Discard, // words are followed, text is dropped (the ANSI half of \upr)
    };
    enum RunKind : quint8 { NoRunKind, LowAnsi, HighAnsi, DoubleByte };

    Destination destination = Destination::Body;
    Destination beforeUpr = Destination::Body;
    RtfRunFormat run;
    bool rightToLeft = false; // \rtlch: the associated properties that follow are for such scripts
    RunKind runKind = NoRunKind; // the last of \loch, \hich, \dbch
    Qt::Alignment alignment = Qt::AlignLeft;
    int style = 0; // in the style sheet: the entry's number
    bool paragraphStyle = true; // in the style sheet: not a character or table style

    // A character or paragraph property word; a font or colour the tables lack is the default.
    void apply(
        const RtfKeyword::Keyword &keyword, const RtfToken &token, const RtfFonts &fonts, const RtfColors &colors);

private:
    void applyAssociated(RtfKeyword::Id id, bool on);
};

// The style sheet, read for the one style that matters here: Normal, the paragraph style numbered
// 0 (else the one named Normal), whose font and size are the document's defaults.
class RtfStyleSheet final
{
public:
    // A group in the sheet starts an entry.
    void beginEntry(RtfGroupState &entry);
    void word(const RtfKeyword::Keyword &keyword, const RtfToken &token, RtfGroupState &entry, const RtfFonts &fonts,
        const RtfColors &colors);
    // The entry's name; ';' ends it.
    void bytes(QByteArrayView bytes, bool raw, const RtfGroupState &entry);
    const std::optional<RtfRunFormat> &normal() const { return m_normal; }

private:
    QByteArray m_name;
    std::optional<RtfRunFormat> m_normal;
    bool m_normalNumbered = false;
};
