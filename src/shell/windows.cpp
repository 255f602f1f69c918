#include "shell/windows.h"

#include "calculator/frmcalculator.h"
#include "shell/frmqy2.h"

void registerWindows(frmQY2 &main)
{
    main.opener().registerWindow(QStringLiteral("Calc"), [] { return new frmCalculator; });
}
