// Finds the plug-in's windows among the thread's top-level windows and answers them.
#include "quillscript.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <deque>

namespace quillscript {
namespace {

std::deque<Answer> gAnswers;
std::string gShown;
UINT_PTR gTimer;
bool gHeld;

void note(const std::string& text)
{
    if (!gShown.empty())
        gShown += ' ';
    gShown += text;
}

HWND findDescendant(HWND window, int id)
{
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    EnumChildWindows(
        window,
        [](HWND child, LPARAM data) -> BOOL CALLBACK {
            auto* s = reinterpret_cast<Search*>(data);
            if (GetDlgCtrlID(child) == s->id) {
                s->found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The id in brackets at the end of a text of the sign-on resource library.
std::string bracketedId(const char* text)
{
    const char* open = std::strrchr(text, '[');
    if (!open)
        return "?";
    return std::string(open + 1, std::strcspn(open + 1, "]"));
}

void wipe(std::string& text)
{
    if (!text.empty())
        SecureZeroMemory(&text[0], text.size());
    text.clear();
}

void press(HWND dialog, int id)
{
    if (HWND button = findDescendant(dialog, id))
        PostMessageA(button, BM_CLICK, 0, 0);
}

void answerBox(HWND box)
{
    char text[512] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    note("box " + bracketedId(text));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

void answerChange(HWND dialog)
{
    if (gHeld)
        return;
    note("change");
    Answer answer = gAnswers.empty() ? Answer{Answer::cancel, {}, {}} : gAnswers.front();
    if (!gAnswers.empty()) {
        wipe(gAnswers.front().first);
        wipe(gAnswers.front().second);
        gAnswers.pop_front();
    }
    if (answer.kind == Answer::type) {
        SetWindowTextA(findDescendant(dialog, 26104), answer.first.c_str());
        SetWindowTextA(findDescendant(dialog, 26106), answer.second.c_str());
        press(dialog, 26107);
    } else {
        press(dialog, answer.kind == Answer::ok ? 26107 : 30001);
    }
    wipe(answer.first);
    wipe(answer.second);
}

void answerError(HWND dialog)
{
    // The message text's window id is the message id.
    std::string id = "?";
    for (int candidate = 26111; candidate <= 26126; ++candidate) {
        if (findDescendant(dialog, candidate) && candidate != 26124)
            id = std::to_string(candidate);
    }
    note("error " + id);
    Answer::Kind kind = Answer::cancel;
    if (!gAnswers.empty()) {
        kind = gAnswers.front().kind;
        gAnswers.pop_front();
    }
    press(dialog, kind == Answer::ok ? 30004 : 30001);
}

void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD)
{
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL CALLBACK {
            if (IsWindowVisible(window) && IsWindowEnabled(window)) {
                char name[16] = {};
                GetClassNameA(window, name, sizeof name);
                const bool ours = std::strcmp(name, "#32770") == 0 ||
                                  findDescendant(window, 26104) ||
                                  findDescendant(window, 30004);
                if (ours) {
                    *reinterpret_cast<HWND*>(data) = window;
                    return FALSE;
                }
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    if (!found)
        return;
    char name[16] = {};
    GetClassNameA(found, name, sizeof name);
    if (std::strcmp(name, "#32770") == 0)
        answerBox(found);
    else if (findDescendant(found, 26104))
        answerChange(found);
    else
        answerError(found);
}

} // namespace

void start(const std::vector<Answer>& answers, unsigned period)
{
    gAnswers.assign(answers.begin(), answers.end());
    gShown.clear();
    gHeld = false;
    gTimer = SetTimer(nullptr, 0, period, tick);
}

std::string stop()
{
    if (gTimer)
        KillTimer(nullptr, gTimer);
    gTimer = 0;
    for (Answer& answer : gAnswers) {
        wipe(answer.first);
        wipe(answer.second);
    }
    gAnswers.clear();
    return gShown;
}

std::string shown() { return gShown; }

void hold(bool on) { gHeld = on; }

} // namespace quillscript
