#pragma once

#include <QWidget>

class QLabel;

// What the splash window and the About box both show: three pictures, the version label and the
// one-line description.
class AboutPanel final : public QWidget
{
    Q_OBJECT

public:
    static constexpr double WidthTwips = 5430;
    static constexpr double HeightTwips = 4605;

    explicit AboutPanel(QWidget *parent = nullptr);

    static QString versionText(); // "Version 2.1.9", from the build's version numbers
    static QString descriptionText(); // ends with a blank

    QLabel *lblVersion() const { return m_lblVersion; }
    QLabel *lblDescription() const { return m_lblDescription; }
    QList<QWidget *> pictures() const;

private:
    QLabel *m_lblVersion = nullptr;
    QLabel *m_lblDescription = nullptr;
    QLabel *m_picture1 = nullptr;
    QLabel *m_picture2 = nullptr;
    QLabel *m_picture3 = nullptr;
};

// Size (outer, in twips) and centre a splash or About window on the primary screen; neither stores its place.
void centreAboutWindow(QWidget *window);
