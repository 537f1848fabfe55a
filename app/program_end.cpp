// After the loop: the settings are saved before the alarms are armed again,
// so that what is armed and what is stored agree.
#include "app/clock_face.h"
#include "app/program.h"
#include "store/alarms.h"
#include "store/scheduling.h"
#include "store/settings.h"

void program_end(void) {
    save_settings();
    schedule_all(nullptr);
    release_images();
    free_alarm_table();
}
