#include "../support/tablerow.h"

#include "clipkeeper/clipplaceholders.h"

#include <QMimeData>
#include <QtTest>

class TestClipPlaceholders : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fill_data();
    void fill();
    void clipboardText_data();
    void clipboardText();
};

void TestClipPlaceholders::fill_data()
{
    columns<QString, QString>("text", "filled");

    row("date, time and clipboard", QString("Today is {date} at {time}: {clipboard}"),
        QString("Today is 12/8/26 at 9:05 AM: {time} pasted"));
    row("unknown names and letter case", QString("{name} {Date} {}"), QString("{name} {Date} {}"));
    row("doubled braces are braces", QString("{{date}} }}{{"), QString("{date} }{"));
    row("a name inside doubled braces", QString("{{{date}}}"), QString("{12/8/26}"));
    row("a brace inside a name", QString("{da{time}te}"), QString("{da9:05 AMte}"));
    row("unclosed and lone braces", QString("{date {time"), QString("{date {time"));
    row("the clipboard's braces stay", QString("{clipboard}"), QString("{time} pasted"));
}

void TestClipPlaceholders::fill()
{
    auto [text, filled] = fetch<QString, QString>("text", "filled");

    const QDateTime now(QDate(2026, 12, 8), QTime(9, 5, 30));
    const QLocale locale(QLocale::English, QLocale::UnitedStates);
    QCOMPARE(FillPlaceholders(text, now, locale, QStringLiteral("{time} pasted")), filled);
}

void TestClipPlaceholders::clipboardText_data()
{
    columns<QString, QString, QString>("plain", "html", "expected");

    row("rich text with its plain form", QString("bold and plain"), QString("<b>bold</b> and plain"),
        QString("bold and plain"));
    row("rich text alone", QString(), QString("<html><head><style>p{}</style></head><p>a &amp; b</p><p>c&lt;d</p>"),
        QString("a & b\nc<d"));
    row("nothing as text", QString(), QString(), QString());
}

void TestClipPlaceholders::clipboardText()
{
    auto [plain, html, expected] = fetch<QString, QString, QString>("plain", "html", "expected");

    QMimeData clipboard;
    if (!html.isEmpty())
        clipboard.setHtml(html);
    if (!plain.isEmpty())
        clipboard.setText(plain);
    QCOMPARE(ClipboardPlainText(&clipboard), expected);
}

QTEST_GUILESS_MAIN(TestClipPlaceholders)
#include "tst_clipplaceholders.moc"
