// A temporary device with the store loaded as a program loads it, and no
// notification service started by what the test registers.
#pragma once

#include "tests/support/temp_device.h"

class StoreDevice : public TempDevice {
protected:
    void SetUp() override;
    void TearDown() override;
};

// Switches the alarm on at the hour and minute, every day, and saves it.
void save_daily_alarm(int index, int hour, int minute);
