#include "tests/support/dialog_script.h"

#include <gtest/gtest.h>

#include <deque>

namespace {

constexpr UINT MSG_STEP = WM_APP + 77;
constexpr int MAX_TRIES = 2000;

struct Script {
    std::deque<DialogStep> steps;
    int tries = 0;
    HWND runner = nullptr;
};

Script &script() {
    static Script s;
    return s;
}

std::wstring title_of(HWND window) {
    WCHAR text[128] = L"";
    GetWindowTextW(window, text, 128);
    return text;
}

void run_next(void) {
    Script &s = script();
    if (s.steps.empty()) return;
    // Taken off first, and the next turn posted first: the step may open a
    // dialog whose loop must run the steps after it.
    DialogStep step = s.steps.front();
    s.steps.pop_front();
    PostMessageW(s.runner, MSG_STEP, 0, 0);
    if (step(GetForegroundWindow())) {
        s.tries = 0;
    } else if (++s.tries > MAX_TRIES) {
        ADD_FAILURE() << "a dialog step waited too long; in front: \""
                      << plat::to_utf8(title_of(GetForegroundWindow()).c_str()) << "\"";
        s.steps.clear();
    } else {
        s.steps.push_front(step);
    }
}

LRESULT runner_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == MSG_STEP) {
        run_next();
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

void script_dialogs(std::vector<DialogStep> steps) {
    Script &s = script();
    if (!IsWindow(s.runner)) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = runner_proc;
        wc.lpszClassName = L"DialogScript";
        RegisterClassW(&wc);
        s.runner = CreateWindowExW(0, L"DialogScript", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    }
    s.steps.assign(steps.begin(), steps.end());
    s.tries = 0;
    PostMessageW(s.runner, MSG_STEP, 0, 0);
}

bool script_done(void) { return script().steps.empty(); }

DialogStep in_dialog(const std::wstring &title, std::function<void(HWND dialog)> action) {
    return [title, action](HWND front) {
        if (!front || title_of(front) != title) return false;
        action(front);
        return true;
    };
}

DialogStep press(const std::wstring &title, int id) {
    return in_dialog(title, [id](HWND d) { SendMessageW(d, WM_COMMAND, MAKEWPARAM(id, 0), 0); });
}

DialogStep click(const std::wstring &title, int id) {
    return in_dialog(title, [id](HWND d) { SendMessageW(GetDlgItem(d, id), BM_CLICK, 0, 0); });
}
