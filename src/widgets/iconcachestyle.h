#pragma once

#include <QHash>
#include <QIcon>
#include <QProxyStyle>

// The program's style: the desktop's own, with its standard icons made once. Qt builds a standard
// icon anew each time a widget asks, reading its pictures again; a calendar asks for two as it is made.
class IconCacheStyle final : public QProxyStyle
{
    Q_OBJECT

public:
    // Installs it over the style the application chose (the desktop's, or the user's -style).
    static void install();

    QIcon standardIcon(StandardPixmap icon, const QStyleOption *option, const QWidget *widget) const override;
    void polish(QApplication *application) override; // a changed desktop theme draws its icons anew

private:
    using QProxyStyle::polish;
    using QProxyStyle::QProxyStyle;

    mutable QHash<int, QIcon> m_icons;
};
