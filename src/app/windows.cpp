#include "app/windows.h"

#include "app/frmabout.h"
#include "app/frmoptions.h"
#include "app/frmpopupmenu.h"
#include "app/frmqy2.h"
#include "app/frmsplash.h"
#include "app/frmtoolbar.h"
#include "calculator/frmcalculator.h"
#include "reminders/frmreminder.h"

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
