#include "platform/shell/message_box_testing.h"
#include "platform/shell/message_box.h"

#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "platform/device/journal.h"
#include "platform/window/window_internal.h"

namespace {

struct DeferredBox {
    std::wstring text;
    std::wstring caption;
    UINT type;
};

struct MessageBoxState {
    std::mutex lock;
    MessageBoxPresenter presenter = nullptr;
    std::thread::id screen_thread;  // the thread that shows boxes on the screen
    std::deque<int> answers;
    std::deque<DeferredBox> deferred;
    bool headless = false;
    bool showing_deferred = false;
};

MessageBoxState &boxes() {
    static MessageBoxState s;
    return s;
}

const char *icon_word(UINT type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONERROR: return "error";
    case MB_ICONQUESTION: return "question";
    case MB_ICONWARNING: return "warning";
    case MB_ICONINFORMATION: return "information";
    default: return "plain";
    }
}

bool env_headless() {
    const char *v = getenv("VELMORA_MSGBOX");
    return v && strcmp(v, "headless") == 0;
}

// Boxes raised on another thread (a sound library notification, say) are
// shown by the screen's thread once it is idle; the raiser gets the default
// answer at once instead of waiting on a thread that may be waiting on it.
void show_deferred_boxes() {
    MessageBoxState &s = boxes();
    for (;;) {
        DeferredBox box;
        MessageBoxPresenter presenter;
        {
            std::lock_guard<std::mutex> g(s.lock);
            if (s.showing_deferred || s.deferred.empty() || !s.presenter) return;
            box = s.deferred.front();
            s.deferred.pop_front();
            presenter = s.presenter;
            s.showing_deferred = true;
        }
        presenter(nullptr, box.text.c_str(), box.caption.c_str(), box.type);
        std::lock_guard<std::mutex> g(s.lock);
        s.showing_deferred = false;
    }
}

}  // namespace

int message_box_default_answer(UINT type) {
    static const int FIRST[] = {IDOK, IDOK, IDABORT, IDYES, IDYES, IDRETRY};
    static const int SECOND[] = {IDOK, IDCANCEL, IDRETRY, IDNO, IDNO, IDCANCEL};
    static const int THIRD[] = {IDOK, IDCANCEL, IDIGNORE, IDCANCEL, IDNO, IDCANCEL};
    UINT kind = type & MB_TYPEMASK;
    if (kind > MB_RETRYCANCEL) kind = MB_OK;
    switch (type & MB_DEFMASK) {
    case MB_DEFBUTTON2: return SECOND[kind];
    case MB_DEFBUTTON3: return THIRD[kind];
    default: return FIRST[kind];
    }
}

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    std::wstring line = std::wstring(L"[") + (caption ? caption : L"Error") + L"] " + (text ? text : L"");
    std::string kind = std::string("message box (") + icon_word(type) + ")";
    journal_write(kind.c_str(), line.c_str());
    MessageBoxPresenter presenter;
    {
        MessageBoxState &s = boxes();
        std::lock_guard<std::mutex> g(s.lock);
        if (!s.answers.empty()) {
            int answer = s.answers.front();
            s.answers.pop_front();
            return answer;
        }
        presenter = (s.headless || env_headless()) ? nullptr : s.presenter;
        if (presenter && std::this_thread::get_id() != s.screen_thread) {
            s.deferred.push_back({text ? text : L"", caption ? caption : L"Error", type});
            plat::loop_post(nullptr, WM_NULL, 0, 0);  // wakes the screen's thread
            return message_box_default_answer(type);
        }
    }
    if (presenter) return presenter(owner, text, caption, type);
    return message_box_default_answer(type);
}

void message_box_set_presenter(MessageBoxPresenter presenter) {
    {
        std::lock_guard<std::mutex> g(boxes().lock);
        boxes().presenter = presenter;
        boxes().screen_thread = std::this_thread::get_id();
    }
    plat::loop_add_idle_hook(show_deferred_boxes);
}

void message_box_queue_answer(int button) {
    std::lock_guard<std::mutex> g(boxes().lock);
    boxes().answers.push_back(button);
}

void message_box_set_headless(bool headless) {
    std::lock_guard<std::mutex> g(boxes().lock);
    boxes().headless = headless;
}
