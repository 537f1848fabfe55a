// A temporary device with the store loaded as a program loads it, and no
// notification service started by what the test registers.
#pragma once

#include "tests/support/temp_device.h"

class StoreDevice : public TempDevice {
protected:
    void SetUp() override;
    void TearDown() override;
};
