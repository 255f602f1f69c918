#include "rtf/rtfstate.h"

#include "rtf/rtfformat.h"
#include "rtf/rtftables.h"

using RtfKeyword::Id;

void RtfGroupState::apply(
    const RtfKeyword::Keyword &keyword, const RtfToken &token, const RtfFonts &fonts, const RtfColors &colors)
{
    const bool on = !token.hasParameter || token.parameter != 0;
    switch (keyword.id) {
    case Id::Plain:
        run = RtfRunFormat();
        rightToLeft = false;
        runKind = NoRunKind;
        break;
    case Id::Bold: run.bold = on; break;
    case Id::Italic: run.italic = on; break;
    case Id::Underline: run.underline = on; break;
    case Id::UnderlineNone: run.underline = false; break;
    case Id::Hidden: run.hidden = on; break;
    case Id::Font: run.font = fonts.contains(token.parameter) ? token.parameter : -1; break;
    case Id::FontSize:
        run.halfPoints
            = token.hasParameter ? RtfFormat::clampHalfPoints(token.parameter) : RtfFormat::DefaultHalfPoints;
        break;
    case Id::Color: run.color = colors.contains(token.parameter) ? token.parameter : 0; break;
    case Id::ParagraphDefault:
    case Id::AlignLeft: alignment = Qt::AlignLeft; break;
    case Id::AlignCenter: alignment = Qt::AlignHCenter; break;
    case Id::AlignRight: alignment = Qt::AlignRight; break;
    case Id::AlignJustify: alignment = Qt::AlignJustify; break;
    case Id::LowAnsi: runKind = LowAnsi; break;
    case Id::HighAnsi: runKind = HighAnsi; break;
    case Id::DoubleByte: runKind = DoubleByte; break;
    case Id::RightToLeft: rightToLeft = true; break;
    case Id::LeftToRight: rightToLeft = false; break;
    case Id::AssociatedBold:
    case Id::AssociatedItalic: applyAssociated(keyword.id, on); break;
    default: break;
    }
}

// Word processors mark bold and italic of Asian-script text (and emoji) as \ab and \ai after \dbch,
// often with no \b: each applies to the characters of the run kind named last before it.
void RtfGroupState::applyAssociated(Id id, bool on)
{
    if (rightToLeft || runKind == NoRunKind) // right-to-left scripts are not told apart here
        return;
    const int shift = (runKind - 1) * 4 + (id == Id::AssociatedItalic ? 2 : 0);
    run.associated = quint16((run.associated & ~(3 << shift)) | (on ? 3 : 1) << shift);
}

void RtfStyleSheet::beginEntry(RtfGroupState &entry)
{
    m_name.clear();
    entry.style = 0;
    entry.paragraphStyle = true;
}

void RtfStyleSheet::word(const RtfKeyword::Keyword &keyword, const RtfToken &token, RtfGroupState &entry,
    const RtfFonts &fonts, const RtfColors &colors)
{
    if (keyword.id == Id::Style)
        entry.style = token.parameter;
    else if (keyword.id == Id::CharStyle || keyword.id == Id::OtherStyle)
        entry.paragraphStyle = false;
    else
        entry.apply(keyword, token, fonts, colors);
}

void RtfStyleSheet::bytes(QByteArrayView bytes, bool raw, const RtfGroupState &entry)
{
    for (char b : bytes) {
        if (raw && b == ';') {
            const bool numbered = entry.style == 0;
            const bool named = m_name.trimmed().compare("Normal", Qt::CaseInsensitive) == 0;
            if (entry.paragraphStyle && (numbered || named) && !m_normalNumbered) {
                m_normal = entry.run;
                m_normalNumbered = numbered;
            }
            m_name.clear();
        } else if (m_name.size() < 64) {
            m_name += b;
        }
    }
}
