#pragma once

#include <QWidget>

class QTextBrowser;

// The program's own help window: pages built into the program, one per tool, opened at a topic. Its title
// names the page shown; Escape closes it. The index says which tools this build does not have yet.
class HelpViewer final : public QWidget
{
    Q_OBJECT

public:
    explicit HelpViewer(QWidget *parent = nullptr);

    void showTopic(int contextId);

    // The built-in page of each context id; an id without a page shows the index.
    static void addPage(int contextId, const QString &page);
    static QString pageForTopic(int contextId);
    // The tools this build does not have yet, as the index lists them.
    static void setUnavailable(const QStringList &tools);
    static QStringList unavailable();

    // The one help window of the run, created when help is first asked for.
    static HelpViewer *instance();

private:
    QTextBrowser *m_browser = nullptr;
};

// The context ids of the tools' help topics.
namespace HelpTopic {
inline constexpr int Planner = 1002;
inline constexpr int Calculator = 1010;
inline constexpr int Calendar = 1012;
inline constexpr int ClipKeeper = 1014;
inline constexpr int QuickNotes = 1016;
inline constexpr int Reminders = 1028;
inline constexpr int TextEd = 1033;
} // namespace HelpTopic

// Help commands of the callers: the default topic, or the topic of a context id.
inline constexpr int HelpDisplayTopic = 0;
inline constexpr int HelpContext = 15;

// Opens "qy2.chm" from the data folder when one lies there and the desktop can open it,
// otherwise the built-in page of the topic.
void ShowHelpTopic(QWidget *owner, int command, int contextId);
