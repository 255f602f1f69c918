#include "shell/windows.h"

#include "shell/frmqy2.h"

void registerWindows(frmQY2 &main)
{
    Q_UNUSED(main);
}
