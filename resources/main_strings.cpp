#include "platform/core/resources.h"
#include "resources/main_resources.h"

namespace {

const StringResource MAIN_STRINGS[] = {
    {IDS_CLASS_NAME, L"Velmora"},
    {IDS_TITLE, L"Velmora"},
    {IDS_OPEN, L"Open"},
    {IDS_TOOLS, L"Tools"},
};

}  // namespace

void register_main_strings(void) {
    resources_add_strings(MAIN_STRINGS, int(sizeof MAIN_STRINGS / sizeof MAIN_STRINGS[0]));
}
