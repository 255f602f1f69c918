#include "clipkeeper/clipplaceholders.h"

#include <QMimeData>
#include <QRegularExpression>
#include <optional>

namespace {

std::optional<QString> replacement(
    QStringView name, const QDateTime &now, const QLocale &locale, const QString &clipboard)
{
    if (name == u"date")
        return locale.toString(now.date(), QLocale::ShortFormat);
    if (name == u"time")
        return locale.toString(now.time(), QLocale::ShortFormat);
    if (name == u"clipboard")
        return clipboard;
    return std::nullopt;
}

QString htmlToPlainText(QString html)
{
    static const QRegularExpression breaks(
        QStringLiteral("<(br|/p|/div|/li|/tr|/h[1-6])\\b[^>]*>"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression hidden(QStringLiteral("<(head|style|script)\\b.*</\\1>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption
            | QRegularExpression::InvertedGreedinessOption);
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    static const QRegularExpression spaces(QStringLiteral("[ \\t\\r\\n]+"));
    html.remove(hidden);
    html.replace(spaces, QStringLiteral(" "));
    html.replace(breaks, QStringLiteral("\n"));
    html.remove(tags);
    html.replace(QLatin1String("&nbsp;"), QLatin1String(" "));
    html.replace(QLatin1String("&lt;"), QLatin1String("<"));
    html.replace(QLatin1String("&gt;"), QLatin1String(">"));
    html.replace(QLatin1String("&quot;"), QLatin1String("\""));
    html.replace(QLatin1String("&#39;"), QLatin1String("'"));
    html.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return html.trimmed();
}

} // namespace

QString FillPlaceholders(const QString &text, const QDateTime &now, const QLocale &locale, const QString &clipboard)
{
    QString filled;
    filled.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const QStringView rest = QStringView(text).mid(i);
        if (rest.startsWith(u"{{") || rest.startsWith(u"}}")) {
            filled += rest.front();
            i += 2;
            continue;
        }
        const qsizetype close = rest.front() == u'{' ? rest.indexOf(u'}') : -1;
        const qsizetype open = rest.indexOf(u'{', 1);
        if (close > 0 && (open < 0 || open > close)) {
            const QStringView name = rest.mid(1, close - 1);
            const std::optional<QString> value = replacement(name, now, locale, clipboard);
            filled += value ? *value : rest.left(close + 1).toString();
            i += close + 1;
            continue;
        }
        filled += rest.front();
        ++i;
    }
    return filled;
}

QString ClipboardPlainText(const QMimeData *clipboard)
{
    if (!clipboard)
        return {};
    if (clipboard->hasText())
        return clipboard->text();
    return clipboard->hasHtml() ? htmlToPlainText(clipboard->html()) : QString();
}
