// Silencing all alarms: they are still registered, so that each one's next
// occurrence stays pending, but they ring nothing while Silenced is on.
#include "app/main_window.h"
#include "store/scheduling.h"
#include "store/settings.h"

void set_silenced(bool on) {
    Settings.Silenced = on ? 1 : 0;
    schedule_all(MainWindow.window);
    save_settings();
}
