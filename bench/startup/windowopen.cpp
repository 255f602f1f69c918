// Opens every tool window of the launcher that exists through the window opener, as a click on its
// button does, and prints the milliseconds until the window is shown and painted: the first opening
// in this process, then the median of 5 openings after closing it. One line a window:
//   <name> <first ms> <second ms>
// run.sh runs it in several processes (first openings happen once per process).
#include "app/applicationsetup.h"
#include "app/frmqy2.h"
#include "app/tooltable.h"
#include "app/windows.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPointer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class PaintWatch : public QObject
{
public:
    bool painted = false;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

double openMs(WindowOpener &opener, WindowKey key)
{
    PaintWatch watch;
    QElapsedTimer timer;
    timer.start();
    QWidget *window = opener.load(key);
    window->installEventFilter(&watch);
    opener.show(key);
    while (!watch.painted && timer.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    window->removeEventFilter(&watch);
    return ms;
}

void closeAndSettle(WindowOpener &opener, WindowKey key)
{
    QPointer<QWidget> window = opener.window(key);
    if (window)
        window->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setUpApplication(); // as the program does
    frmQY2 main;
    registerWindows(main);
    WindowOpener &opener = main.opener();
    for (WindowKey key : toolKeys()) {
        if (!opener.isRegistered(key))
            continue;
        const double first = openMs(opener, key);
        std::vector<double> again;
        for (int i = 0; i < 5; ++i) {
            closeAndSettle(opener, key);
            again.push_back(openMs(opener, key));
        }
        closeAndSettle(opener, key);
        std::sort(again.begin(), again.end());
        std::printf("%s %.1f %.1f\n", qPrintable(windowName(key)), first, again[2]);
    }
    return 0;
}
