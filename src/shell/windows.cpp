#include "shell/windows.h"

#include "calculator/frmcalculator.h"
#include "reminders/frmreminder.h"
#include "shell/frmqy2.h"

void registerWindows(frmQY2 &main)
{
    main.opener().registerWindow(QStringLiteral("Calc"), [] { return new frmCalculator; });
    main.opener().registerWindow(QStringLiteral("Rem"), [&main] { return new frmReminder(main.reminders()); });
}
