#include "testenvironment.h"

TestEnvironment::TestEnvironment()
{
    Dialogs::record(&dialogs);
    Dialogs::setCanAsk(true);
}

TestEnvironment::~TestEnvironment()
{
    Dialogs::record(nullptr);
    Dialogs::setCanAsk(true);
}
