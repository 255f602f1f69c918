#include "testenvironment.h"

TestEnvironment::TestEnvironment()
{
    Dialogs::record(&dialogs);
}

TestEnvironment::~TestEnvironment()
{
    Dialogs::record(nullptr);
}
