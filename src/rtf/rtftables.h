#pragma once

#include "rtf/rtfcodepage.h"
#include "rtf/rtfkeywords.h"

#include <QColor>
#include <QHash>
#include <QString>

#include <optional>
#include <vector>

// The font table with the code pages it implies. The header's code page (\ansi, \mac, \pc, \pca,
// \ansicpgN) applies to fonts that name none; font -1 is the \deff font.
class RtfFonts final
{
public:
    void setAnsiCodePage(int codePage);
    void setDefaultFont(int index) { m_defaultFont = index; }
    int defaultFont() const { return m_defaultFont; }

    // Reading {\fonttbl ...}: entries are "\fN \fcharsetN \cpgN name;", with or without groups.
    void beginTable() { m_entry = Entry(); }
    void word(RtfKeyword::Id id, int parameter);
    void bytes(QByteArrayView bytes, bool raw);
    void character(QChar ch);
    void endEntry();

    bool contains(int index) const { return m_fonts.contains(index); }
    QString family(int index) const;
    RtfCodePage::Decoder &decoder(int index);

private:
    struct Font
    {
        QString name;
        int codePage = 0; // 0 = the header's
    };
    struct Entry
    {
        int index = -1;
        int charset = -1;
        int codePage = 0;
        QByteArray bytes;
        QString text;
    };
    int entryCodePage() const;
    RtfCodePage::Decoder &entryDecoder();

    RtfCodePage::Cache m_codePages;
    int m_ansiCodePage = RtfCodePage::Ansi;
    int m_defaultFont = 0;
    QHash<int, Font> m_fonts;
    Entry m_entry;
};

// The colour table: "\redN\greenN\blueN;" entries, an empty one meaning automatic.
class RtfColors final
{
public:
    void beginTable();
    void word(RtfKeyword::Id id, int parameter);
    void bytes(QByteArrayView bytes, bool raw);

    // True for an index \cfN can name (0 is automatic).
    bool contains(int index) const { return index > 0 && size_t(index) < m_colors.size(); }
    std::optional<QColor> color(int index) const;

private:
    std::vector<std::optional<QColor>> m_colors;
    int m_red = -1, m_green = -1, m_blue = -1;
};
