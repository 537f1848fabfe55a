#include "store/pending_request.h"

#include <cstdlib>
#include <cwchar>

bool read_pending_request(HANDLE handle, PendingRequest *out) {
    DWORD size = 0;
    CeGetUserNotification(handle, 0, &size, nullptr);
    if (size == 0) return false;
    LPBYTE buffer = (LPBYTE)calloc(1, size);
    if (!buffer) return false;
    bool read = CeGetUserNotification(handle, size, &size, buffer) != FALSE;
    const CE_NOTIFICATION_INFO_HEADER *info = (const CE_NOTIFICATION_INFO_HEADER *)buffer;
    read = read && info->pcent;
    if (read) {
        const CE_NOTIFICATION_TRIGGER *t = info->pcent;
        swprintf(out->Application, MAX_PATH, L"%ls", t->lpszApplication ? t->lpszApplication : L"");
        swprintf(out->Arguments, MAX_PATH, L"%ls", t->lpszArguments ? t->lpszArguments : L"");
        out->Start = t->stStartTime;
    }
    free(buffer);
    return read;
}
