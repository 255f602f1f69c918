// Reading RTF: the tokenizer's skipping, text in every script, the formatting kept, what is
// skipped, the shapes other programs write, pasting at a cursor, and damaged or hostile input.
#include "../support/tablerow.h"
#include "rtf/rtftokenizer.h"
#include "rtftestsupport.h"

using namespace RtfTest;

namespace {

QByteArray rtf(const char *body)
{
    return QByteArray(R"({\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fswiss Arial;}{\f1\froman Times New Roman;})"
                      R"({\f2\fnil\fcharset2 Symbol;}{\f3\fnil\fcharset204 Arial;}{\f4\fnil\fcharset128 MS Gothic;}})"
                      R"({\colortbl;\red255\green0\blue0;\red0\green128\blue0;})")
        + body + '}';
}

QString joined(const QTextDocument &document)
{
    return paragraphs(document).join(u'|');
}

QString alignments(const QTextDocument &document)
{
    QStringList names;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        names << alignmentName(block.blockFormat().alignment());
    return names.join(u'|');
}

// The tokens as "{ } \\word5 \\~ 'e9 [text] U+20ac".
QString tokens(const QByteArray &rtf)
{
    using Kind = RtfToken::Kind;
    RtfTokenizer tokenizer(rtf);
    QStringList out;
    for (RtfToken t = tokenizer.next(); t.kind != Kind::End; t = tokenizer.next()) {
        const QString parameter = t.hasParameter ? QString::number(t.parameter) : QString();
        out << (t.kind == Kind::GroupStart ? QStringLiteral("{")
                : t.kind == Kind::GroupEnd ? QStringLiteral("}")
                : t.kind == Kind::Word     ? u'\\' + QLatin1String(t.name.data(), qsizetype(t.name.size())) + parameter
                : t.kind == Kind::Symbol   ? u'\\' + QString(QLatin1Char(t.symbol))
                : t.kind == Kind::Byte     ? QStringLiteral("'") + QString::number(t.parameter, 16)
                : t.kind == Kind::Text     ? u'[' + QString::fromLatin1(t.text) + u']'
                                           : QStringLiteral("U+%1").arg(t.parameter, 4, 16, QChar(u'0')));
    }
    return out.join(u' ');
}

} // namespace

class TstRtfReader final : public QObject
{
    Q_OBJECT

private slots:
    void isRtf_data()
    {
        columns<QByteArray, bool>("bytes", "expected");
        row("document", QByteArray(R"({\rtf1\ansi hello})"), true);
        row("just the signature", QByteArray(R"({\rtf)"), true);
        row("byte-order mark", QByteArray("\xEF\xBB\xBF{\\rtf1 x}"), false);
        row("cut short", QByteArray(R"({\rt)"), false);
    }

    // Bytes that are not RTF leave the document as it was, read or pasted.
    void isRtf()
    {
        auto [bytes, expected] = fetch<QByteArray, bool>("bytes", "expected");
        QCOMPARE(Rtf::isRtf(bytes), expected);
        QTextDocument document(QStringLiteral("kept"));
        QTextCursor cursor(&document);
        QCOMPARE(Rtf::insert(bytes, cursor), expected);
        QCOMPARE(Rtf::read(bytes, &document), expected);
        QCOMPARE(document.toPlainText() == u"kept", !expected);
    }

    void tokenizerSkips_data()
    {
        columns<QByteArray, QString>("input", "expected");
        row("\\bin N: N bytes, braces too", QByteArray("a\\bin4 }}{{b"), "[a] [b]");
        row("\\u and one fallback byte", QByteArray(R"(\u8364 abc)"), "U+20ac [bc]");
        row("\\uc2 with \\'xx fallbacks", QByteArray(R"(\uc2\u-32768\'97\'73 z)"), "U+8000 [ z]");
        row("\\uc0 skips nothing", QByteArray(R"(\uc0\u8364 x)"), "U+20ac [x]");
        row("a control word is one fallback", QByteArray(R"(\u8364\tab x)"), "U+20ac [x]");
        row("\\bin data is one fallback", QByteArray(R"(\u8364\bin2 xyz)"), "U+20ac [z]");
        row("\\uc inside a fallback is skipped", QByteArray(R"(\u8364\uc0 ab)"), "U+20ac [ab]");
        row("raw line ends are not fallbacks", QByteArray("\\u8364\r\n?x"), "U+20ac [x]");
        row("a group end cuts the fallback", QByteArray(R"({\uc3\u8364 a}b)"), "{ U+20ac } [b]");
        row("\\uc is group-scoped", QByteArray(R"({\uc0\u8364}\u8364?)"), "{ U+20ac } U+20ac");
    }

    void tokenizerSkips()
    {
        QFETCH(QByteArray, input);
        QTEST(tokens(input), "expected");
    }

    void text_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("expected"); // paragraphs joined by |

        // Tokens.
        row("one delimiting space is eaten", rtf(R"(\b0  x)"), " x");
        row("a digit or sign ends a word", rtf(R"(\b0-x\i;y)"), "-x;y");
        row("escaped braces and backslash", rtf(R"(a\{b\}c\\d)"), "a{b}c\\d");
        row("raw line ends are not text", rtf("ab\r\ncd\ne\rf"), "abcdef");
        row("\\line", rtf(R"(a\line b)"), "a\u2028b");
        row("backslash line end is a paragraph", rtf("a\\\nb\\\r\nc"), "a|b|c");
        row("NUL bytes and text after the end", QByteArray("{\\rtf1 a\0b}\0junk}", 18), "ab");
        row("unknown words keep the text", rtf(R"(\foo1 a\barbaz\qux-5 b)"), "ab");

        // Paragraphs: a final \par is the last paragraph's mark, not an empty paragraph.
        row("no \\par", rtf("a"), "a");
        row("final \\par", rtf(R"(a\par)"), "a");
        row("empty last paragraph", rtf(R"(a\par\par)"), "a|");
        row("empty document", QByteArray(R"({\rtf1 })"), QString());

        // Unicode (the fallbacks are the tokenizer's).
        row("\\u with one fallback", rtf(R"(caf\u233?s)"), "cafés");
        row("negative above 32767", rtf(R"(\u-32768?\u-3?)"), "\u8000\uFFFD");
        row("surrogate pair, signed", rtf(R"(\u-10179?\u-8704?)"), "😀");
        row("pair across \\uc changes", rtf(R"(\uc0 \u55357\uc1 \u56832\'3f!)"), "😀!");
        row("lone surrogate", rtf(R"(\u-10179?x\u56832?)"), "\uFFFDx\uFFFD");
        row("controls are not block breaks", rtf(R"(a\u10?b\u8233?c\u13?d\u0?e)"), "a\u2028b\u2028c\u2028d\uFFFDe");

        // Destinations.
        row("starred unknown group", rtf(R"(a{\*\foo b{c}\bin2 }}}d)"), "ad");
        row("unstarred unknown group keeps text", rtf(R"(a{\foo b}c)"), "abc");
        row("info and tables", rtf(R"({\info{\title T}{\author A}}{\stylesheet{\s0 Normal;}}x)"), "x");
        row("field result only", rtf(R"({\field{\*\fldinst HYPERLINK "u"}{\fldrslt shown}} end)"), "shown end");
        row("hidden text is kept", rtf(R"(a{\v b}c\v d\v0 e)"), "abcde");
        row("unicode half of \\upr", rtf(R"({\upr{ansi}{\*\ud{unicode}}})"), "unicode");
        row("headers, footers, notes, pictures",
            rtf(R"({\header h}{\footerr f}a{\footnote n}{\*\annotation c}{\pict\pngblip 00}{\*\shppict x}b)"), "ab");
        row("\\bin data may hold braces", rtf("a{\\pict\\bin5 }}{{\\}b"), "ab");

        // Lists and tables keep their text in order.
        row("list label", rtf(R"({\listtext\'95\tab}Item\par{\listtext 2.\tab}Next)"), "•\tItem|2.\tNext");
        row("WordPad bullet in Symbol", rtf(R"({\pntext\f2\'B7\tab}{\*\pn\pnlvlblt{\pntxtb\'B7}}Item)"), "•\tItem");
        row("cells", rtf(R"(\trowd\cellx1\cellx2\intbl A1\cell B1\cell\row after)"), "A1|B1|after");

        // Code pages.
        const auto font = [](const char *charset, const char *text) -> QByteArray {
            return QByteArray(R"({\rtf1\ansi{\fonttbl{\f0 Arial;}{\f1\fcharset)") + charset + R"( X;}}\f1 )" + text
                + '}';
        };
        row("1252 high bytes", rtf(R"(\'80\'85\'93q\'94\'e9\'ff)"), "€…“q”éÿ");
        row("raw 8-bit bytes", rtf("caf\xe9"), "café");
        row("ansicpg1251", QByteArray(R"({\rtf1\ansi\ansicpg1251 \'cf\'f0\'e8})"), "При");
        row("\\mac", QByteArray(R"({\rtf1\mac caf\'8e})"), "café");
        row("\\pc", QByteArray(R"({\rtf1\pc \'82\'9b})"), "é¢");
        row("\\pca", QByteArray(R"({\rtf1\pca \'82\'9b})"), "éø");
        row("unknown ansicpg reads as 1252", QByteArray(R"({\rtf1\ansicpg99999 \'e9})"), "é");
        row("Cyrillic 204", font("204", R"(\'cf\'f0\'e8\'e2\'e5\'f2)"), "Привет");
        row("Central European 238", font("238", R"(\'9a\'e8\'f8)"), "ščř");
        row("Mac Roman 77", font("77", R"(\'8e\'d2)"), "é“");
        row("Shift-JIS escaped", font("128", R"(\'93\'fa\'96\'7b\'8c\'ea)"), "日本語");
        row("Shift-JIS raw trail byte", font("128", R"(\'83A\'83C)"), "アイ");
        row("Korean 129", font("129", R"(\'c7\'d1\'b1\'b9)"), "한국");
        row("GBK 134", font("134", R"(\'d6\'d0\'ce\'c4)"), "中文");
        row("\\cpg beats \\fcharset", QByteArray(R"({\rtf1{\fonttbl{\f0\fcharset0\cpg1251 X;}}\f0 \'e4})"), "д");
        row("Symbol font", font("2 Symbol;}{\\f2 Y", R"(\'61\'62\'b7\'b9)"), "αβ•≠");
        row("other symbol fonts read as 1252", font("2 Wingdings;}{\\f2 Y", R"(\'61\'e9)"), "aé");
        row("font switch mid-paragraph", rtf(R"(\f3\'c4\f0\'c4\f4\'82\'a0)"), "ДÄあ");
        row("charset default 1 uses ansicpg", QByteArray(R"({\rtf1\ansicpg1253{\fonttbl{\f0\fcharset1 X;}}\'e1})"),
            "α");

        // Damaged or hostile input.
        row("deep nesting", QByteArray(R"({\rtf1 a)") + QByteArray(100000, '{') + "x" + QByteArray(100000, '}') + "b}",
            "ab");
        row("deep nesting, never closed", QByteArray(R"({\rtf1 a)") + QByteArray(100000, '{'), "a");
        row("nesting just allowed", QByteArray(R"({\rtf1 )") + QByteArray(198, '{') + "x" + QByteArray(198, '}') + '}',
            "x");
        row("many closing braces", QByteArray(R"({\rtf1 a}}}}}b)"), "a");
        row("huge parameters",
            rtf(R"(\fs99999999999999999999 a\f-99999999999999999 b\cf4294967297 c)"
                R"(\uc2147483648 d\u99999999999 e\ansicpg-5 f\deff999999999 g)"),
            "abcd\uFFFD");
        row("huge \\uc", rtf(R"(\uc99999999\u8364 abc{x})"), "€x");
        row("\\bin past the end", QByteArray(R"({\rtf1 a\bin999999999 xyz})"), "a");
        row("negative \\bin", rtf(R"(a\bin-5 b)"), "ab");
        row("\\bin without a value", rtf(R"(a\bin b)"), "ab");
        row("\\bin past the end in a skipped group", QByteArray(R"({\rtf1 a{\*\x\bin99999 })"), "a");
        row("ends after a backslash", QByteArray(R"({\rtf1 a\)"), "a");
        row("ends in a hex escape", QByteArray(R"({\rtf1 a\'e)"), "a\uFFFD"); // byte 0x0E
        row("bad hex escape", rtf(R"(a\'zzb)"), "azzb");
        row("ends after \\*", QByteArray(R"({\rtf1 a{\*)"), "a");
        row("ends after \\u", QByteArray(R"({\rtf1 a\u)"), "a");
        row("long control word", rtf(QByteArray("a\\" + QByteArray(100000, 'x') + " b").constData()), "ab");
        row("long parameter", rtf(QByteArray("a\\fs" + QByteArray(100000, '9') + " b").constData()), "ab");
        row("many fonts", QByteArray(R"({\rtf1{\fonttbl)") + QByteArray("{\\f1 A;}").repeated(20000) + "}x}", "x");
        row("long font name", QByteArray(R"({\rtf1{\fonttbl{\f0 )") + QByteArray(100000, 'n') + ";}}x}", "x");
        row("many colours", QByteArray(R"({\rtf1{\colortbl)") + QByteArray(200000, ';') + R"(}\cf150000 x})", "x");

        // each \u8364 also skips the next five
    }

    void text()
    {
        QFETCH(QByteArray, input);
        QTEST(joined(*read(input)), "expected");
    }

    void formatting_data()
    {
        columns<QByteArray, QString>("input", "needle");
        QTest::addColumn<QString>("look"); // bold italic underline, family, points, colour, alignment but left

        row("bold off", rtf(R"(\b a\b0 off)"), "off", "--- Arial 12 auto");
        row("\\ulnone", rtf(R"(\ul a\ulnone off)"), "off", "--- Arial 12 auto");
        row("group restores", rtf(R"({\b\i\ul\f1\fs40\cf1 in}out)"), "out", "--- Arial 12 auto");
        row("\\plain resets", rtf(R"(\b\i\ul\f1\fs40\cf1 a\plain reset)"), "reset", "--- Arial 12 auto");
        row("\\pard keeps character properties", rtf(R"(\b a\par\pard kept)"), "kept", "b-- Arial 12 auto");
        row("unknown font is the default", rtf(R"(\f1 a\f77 x)"), "x", "--- Arial 12 auto");
        row("size in half points", rtf(R"(\fs21 small)"), "small", "--- Arial 10.5 auto");
        row("\\cf0 is automatic", rtf(R"(\cf1 a\cf0 auto)"), "auto", "--- Arial 12 auto");
        row("colour past the table", rtf(R"(\cf9 x)"), "x", "--- Arial 12 auto");
        row("everything", rtf(R"({\f1\fs30\b\i\ul\cf2 all})"), "all", "biu Times New Roman 15 #008000");
        row("\\ab as LibreOffice writes it", rtf(R"({\dbch\i\ab\dbch \u26085\'3f\u26412\'3f }{\loch abc})"), "日本",
            "bi- Arial 12 auto");
        row("\\ai", rtf(R"(\loch\af0\hich\af0\dbch\af4\ai \u26085?\u26412?)"), "日本", "-i- Arial 12 auto");
        row("\\ab on emoji", rtf(R"(\dbch\ab x\u-10179?\u-8704?)"), "😀", "b-- Arial 12 auto");
        row("\\dbch\\ab leaves Latin text", rtf(R"(\dbch\ab\loch Latin\u26085?)"), "Latin", "--- Arial 12 auto");
        row("\\dbch\\ab0 beats \\b", rtf(R"(\b\hich\dbch\ab0\loch x\u26085?)"), "日", "--- Arial 12 auto");
        row("\\b stays on Latin beside \\dbch\\ab0", rtf(R"(\b\dbch\ab0\loch \u26085?x)"), "x", "b-- Arial 12 auto");
        row("\\ab after \\rtlch is not Asian", rtf(R"(\dbch\rtlch\ab\ltrch\dbch \u26085?)"), "日", "--- Arial 12 auto");
        row("\\plain resets \\ab", rtf(R"(\dbch\ab a\plain\dbch \u26085?)"), "日", "--- Arial 12 auto");
        row("field result keeps formatting", rtf(R"({\field{\*\fldinst x}{\fldrslt{\ul\cf1 link}}})"), "link",
            "--u Arial 12 #ff0000");
        const auto sample = [](const char *name) { return dataFile(QString::fromLatin1(name) + u".rtf"); };
        row("LibreOffice all three", sample("libreoffice"), "all three", "biu DejaVu Serif 12 auto");
        row("LibreOffice centred", sample("libreoffice"), "Centred", "--- Liberation Mono 16 #ff0000 center");
        row("LibreOffice link", sample("libreoffice"), "example", "--u DejaVu Serif 12 #000080");
        row("AbiWord right", sample("abiword"), "Right", "--- Liberation Sans 9 #0000ff right");
        row("pandoc link", sample("pandoc"), "link", "--u Helvetica 12 auto");
        row("Word right red", sample("word"), "Right", "-i- Calibri 11 #c00000 right");
        row("Word Japanese font", sample("word"), "日本", "--- ＭＳ 明朝 14 auto");
        row("Word hidden text", sample("word"), "hidden", "--- Calibri 11 auto hidden");
        row("TextEdit last paragraph", sample("textedit"), "caf", "--- Helvetica 12 auto right");
    }

    void formatting()
    {
        auto [input, needle] = fetch<QByteArray, QString>("input", "needle");
        const auto document = read(input);
        QVERIFY2(!document->find(needle).isNull(), qPrintable(needle));
        const QString alignment = alignmentAt(*document, needle);
        const QString shown = look(formatAt(*document, needle), *document);
        QTEST(alignment == u"left" ? shown : shown + u' ' + alignment, "look");
    }

    void alignment_data()
    {
        columns<QByteArray, QString>("input", "expected");

        row("each kind", rtf(R"(\ql a\par\qc b\par\qr c\par\qj d)"), "left|center|right|justify");
        row("\\par keeps the alignment", rtf(R"(\qc a\par b)"), "center|center");
        row("\\pard resets it", rtf(R"(\qr a\par\pard b)"), "right|left");
        row("group-scoped", rtf(R"({\qc a}\par)"), "left");
        row("\\par inside a group", rtf(R"(\qc{\qr a\par}b)"), "right|center");
    }

    void alignment()
    {
        QFETCH(QByteArray, input);
        QTEST(alignments(*read(input)), "expected");
    }

    void defaultFont_data()
    {
        columns<QByteArray, QString, qreal>("input", "family", "points");

        // The text is in the default font the row names.
        const auto file = [](const char *styles, const char *text) -> QByteArray {
            return QByteArray(R"({\rtf1\deff0{\fonttbl{\f0 A;}{\f1 Bee;}}{\stylesheet)") + styles + '}' + text + " x}";
        };
        row("\\deff at 12 pt", file("", R"(\deff1)"), "Bee", 12.0);
        row("Normal style number 0", file(R"({\s0\f1\fs19 Normal;}{\s1\fs40 H;})", R"(\f1\fs19)"), "Bee", 9.5);
        row("style without \\s is number 0", file(R"({\ql\fs22 Normal;}{\*\cs10\fs40 C;})", R"(\fs22)"), "A", 11.0);
        row("style named Normal", file(R"({\s7\fs18 Heading;}{\s36\fs20 Normal;})", R"(\fs20)"), "A", 10.0);
        row("character style 0 is not it", file(R"({\*\cs0\fs40 C;}{\s1\fs40 H;})", ""), "A", 12.0);
    }

    // Text in the default font names no font of its own, so it follows the document's.
    void defaultFont()
    {
        QFETCH(QByteArray, input);
        const auto document = read(input);
        QTEST(document->defaultFont().family(), "family");
        QTEST(document->defaultFont().pointSizeF(), "points");
        QCOMPARE(formatAt(*document, QStringLiteral("x")).properties().keys(), QList<int>());
    }

    void emptyParagraphKeepsItsSize()
    {
        const auto document = read(rtf(R"(a\par\fs48\par b)"));
        QCOMPARE(paragraphs(*document), QStringList({ "a", "", "b" }));
        QCOMPARE(document->begin().next().charFormat().fontPointSize(), 24.0);
    }

    void skippedContentIsReported_data()
    {
        columns<QByteArray, QString>("input", "expected");

        row("nothing", rtf("a"), "");
        row("picture and its alternative", rtf(R"({\*\shppict{\pict\pngblip 00}}{\nonshppict{\pict 00}})"),
            "pictures 1");
        row("objects and shapes", rtf(R"({\object x}{\shp y}{\pict z})"), "pictures 3");
        row("notes", rtf(R"({\footnote a}{\*\annotation b})"), "notes 2");
        row("headers", rtf(R"({\header a}{\headerf b}{\footerl c})"), "headers 3");
        row("table", rtf(R"(\trowd\cellx100\cellx200 a\cell b\cell\row\trowd\cellx100 c\cell\row)"), "rows 2");
        row("list", rtf(R"({\listtext \'b7\tab}a\par{\*\pntext 2.\tab}b\par)"), "list items 2");
        row("link", rtf(R"({\field{\*\fldinst HYPERLINK "mailto:a@example.org"}{\fldrslt shown}})"), "fields 1");
        row("truncated", QByteArray(R"({\rtf1 abc)"), "truncated");
        row("truncated in a skipped group", QByteArray(R"({\rtf1 abc{\*\x de)"), "truncated");
        row("too deep", QByteArray(R"({\rtf1 )") + QByteArray(200, '{') + QByteArray(200, '}') + '}', "too deep");
    }

    void skippedContentIsReported()
    {
        Rtf::ReadInfo info;
        QFETCH(QByteArray, input);
        read(input, &info);
        QStringList told;
        const std::pair<const char *, int> counts[] = { { "pictures", info.pictures }, { "notes", info.notes },
            { "headers", info.headersAndFooters }, { "rows", info.tableRows }, { "list items", info.listItems },
            { "fields", info.fields }, { "too deep", info.tooDeep ? -1 : 0 } };
        for (const auto &[name, count] : counts) {
            if (count != 0)
                told << QString::fromLatin1(name) + (count > 0 ? QStringLiteral(" %1").arg(count) : QString());
        }
        QCOMPARE(info.lostContent(), !told.isEmpty());
        if (info.truncated)
            told << QStringLiteral("truncated");
        QTEST(told.join(u','), "expected");
    }

    void samples_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : { "libreoffice", "abiword", "pandoc", "word", "wordpad", "textedit" })
            row(name, QString::fromLatin1(name));
    }

    void samples()
    {
        QFETCH(QString, name);
        const auto document = read(dataFile(name + QStringLiteral(".rtf")));
        QCOMPARE(plainText(*document), QString::fromUtf8(dataFile(name + QStringLiteral(".txt"))));
    }

    void insert_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("expected"); // "XY|Z" with "Y" selected, after the insert
        QTest::addColumn<QString>("alignments");

        row("inline text keeps the line's alignment", rtf(R"(\qr abc)"), "Xabc|Z", "left|left");
        row("a last paragraph on a line of its own keeps its own", rtf(R"(\qc abc\par\qr def)"), "Xabc|def|Z",
            "center|right|left");
        row("ended paragraph", rtf(R"(abc\par)"), "Xabc||Z", "left|left|left");
        row("two paragraphs", rtf(R"(\qc abc\par\pard def)"), "Xabc|def|Z", "center|left|left");
        row("empty RTF removes the selection", QByteArray(R"({\rtf1 })"), "X|Z", "left|left");
        row("whole document", dataFile("textedit.rtf"),
            "XHello bold world with  two spaces|Centred red||café € 😀 日本語|Z",
            "left|center|left|right|left"); // the first joins "X"
    }

    // Pasting is one undo step.
    void insert()
    {
        QFETCH(QByteArray, input);
        QTextDocument document;
        document.setPlainText(QStringLiteral("XY\nZ"));
        QTextCursor cursor(&document);
        cursor.setPosition(1);
        cursor.setPosition(2, QTextCursor::KeepAnchor);
        QVERIFY(Rtf::insert(input, cursor));
        QTEST(joined(document), "expected");
        QTEST(alignments(document), "alignments");
        document.undo();
        QCOMPARE(joined(document), QStringLiteral("XY|Z"));
    }

    void everyPrefixOfASampleReads_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : { "word", "textedit", "wordpad" })
            row(name, QString::fromLatin1(name));
    }

    // A file cut anywhere (a broken download, a full disk) still opens with the text before the cut.
    void everyPrefixOfASampleReads()
    {
        QFETCH(QString, name);
        const QByteArray whole = dataFile(name + QStringLiteral(".rtf"));
        const QString full = joined(*read(whole));
        QString previous;
        for (qsizetype length = 5; length <= whole.lastIndexOf('}'); length += 7) {
            Rtf::ReadInfo info;
            const QString text = joined(*read(whole.left(length), &info));
            QVERIFY2(info.truncated, qPrintable(QString::number(length)));
            // The text read so far keeps what a shorter cut showed before its last paragraph (a cut
            // inside a word such as \pardirnatural may read as \par: trailing breaks do not count).
            QString settled = previous.left(previous.lastIndexOf(u'|') + 1);
            while (settled.endsWith(u'|'))
                settled.chop(1);
            QVERIFY2(text.startsWith(settled), qPrintable(QStringLiteral("%1: %2").arg(length).arg(text)));
            QVERIFY(full.startsWith(settled));
            previous = text;
        }
    }
};

QTEST_MAIN(TstRtfReader)
#include "tst_rtfreader.moc"
