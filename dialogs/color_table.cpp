#include "dialogs/color_table.h"

ColorEntry ColorTable[COLOR_COUNT] = {
    {1091, 0x00231BEC, nullptr, nullptr}, {1092, 0x002165F2, nullptr, nullptr}, {1093, 0x001C94F7, nullptr, nullptr},
    {1094, 0x0000F2FF, nullptr, nullptr}, {1095, 0x003FC68D, nullptr, nullptr}, {1096, 0x0049B538, nullptr, nullptr},
    {1097, 0x0050A600, nullptr, nullptr}, {1098, 0x009DA900, nullptr, nullptr}, {1099, 0x00EFAE00, nullptr, nullptr},
    {1100, 0x00BC7100, nullptr, nullptr}, {1101, 0x008F2691, nullptr, nullptr}, {1102, 0x008C00EC, nullptr, nullptr},
    {1103, 0x005A12ED, nullptr, nullptr}, {1104, 0x00C8C8C8, nullptr, nullptr}, {1105, 0x00505050, nullptr, nullptr},
    {1106, 0x00FFFFFF, nullptr, nullptr},
};
