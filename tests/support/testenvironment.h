#pragma once

#include "coretestenvironment.h"
#include "widgets/dialogs.h"

// A window test's environment: the core test's pins plus a message-box recorder, so nothing blocks.
class TestEnvironment final : public CoreTestEnvironment
{
public:
    TestEnvironment();
    ~TestEnvironment() override;

    Dialogs::Recorder dialogs;
};
