#include "shell/windows.h"

#include "calculator/frmcalculator.h"
#include "reminders/frmreminder.h"
#include "shell/frmabout.h"
#include "shell/frmoptions.h"
#include "shell/frmpopupmenu.h"
#include "shell/frmqy2.h"
#include "shell/frmsplash.h"
#include "shell/frmtoolbar.h"

void registerWindows(frmQY2 &main)
{
    WindowOpener &opener = main.opener();
    opener.registerWindow(QStringLiteral("Calc"), [] { return new frmCalculator; });
    opener.registerWindow(QStringLiteral("Rem"), [&main] { return new frmReminder(main.reminders()); });
    opener.registerWindow(QStringLiteral("ToolBar"), [&main] { return new frmToolBar(main); });
    opener.registerWindow(QStringLiteral("PopUp"), [&main] { return new frmPopUpMenu(main); });
    opener.registerWindow(QStringLiteral("Options"), [&main] { return new frmOptions(main); });
    opener.registerWindow(QStringLiteral("Splash"), [&main] { return new frmSplash(main); });
    opener.registerWindow(QStringLiteral("About"), [] { return new frmAbout; });
    keepToolBarWhileTrayMissing(main);
}
