// Helpers of the frame subsystem's tests.
#include "frametools.hpp"

#include <cstring>
#include <map>

namespace frametest {

const IResourceLibrary& self()
{
    static IResourceLibrary library;
    return library;
}

void press(HWND dialog, int button)
{
    PostMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(button), 0);
}

std::string windowText(HWND window)
{
    char buffer[256] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}

std::string className(HWND window)
{
    char buffer[64] = {};
    GetClassNameA(window, buffer, sizeof buffer);
    return buffer;
}

namespace {

using PostEntry = BOOL(WINAPI*)(DWORD, UINT, WPARAM, LPARAM);

UINT gRefusedMessage = 0;
int gRefusedCount = 0;
PostEntry gPost = nullptr;

BOOL WINAPI refusingPost(DWORD thread, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != gRefusedMessage)
        return gPost(thread, message, wParam, lParam);
    ++gRefusedCount;
    SetLastError(ERROR_NOT_ENOUGH_QUOTA);
    return FALSE;
}

} // namespace

RefusedThreadPosts::RefusedThreadPosts(UINT message)
{
    gRefusedMessage = message;
    gRefusedCount = 0;
    fPatch = std::make_unique<ovktest::ImportPatch>("ovkwin.dll", "PostThreadMessageA",
                                                    &refusingPost, gPost);
}

RefusedThreadPosts::~RefusedThreadPosts() = default;

bool RefusedThreadPosts::armed() const
{
    return fPatch->applied();
}

int RefusedThreadPosts::refused() const
{
    return gRefusedCount;
}

void insertCascade(HMENU menu, UINT position, UINT id, HMENU submenu, const char* text)
{
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    item.wID = id;
    item.hSubMenu = submenu;
    item.dwTypeData = const_cast<char*>(text);
    InsertMenuItemA(menu, position, TRUE, &item);
}

std::string describeMenu(HMENU menu)
{
    std::string text;
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        char buffer[128] = {};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = buffer;
        info.cch = sizeof buffer;
        if (position)
            text += "|";
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) {
            text += "?";
            continue;
        }
        // The classic calls make every separator disabled; a separator has no state to show.
        if (info.fType & MFT_SEPARATOR) {
            text += "-";
            continue;
        }
        text += buffer;
        if (info.fState & MFS_CHECKED)
            text += "(c)";
        if (info.fState & MFS_DISABLED)
            text += "(d)";
        if (info.hSubMenu)
            text += "[" + describeMenu(info.hSubMenu) + "]";
    }
    return text;
}

namespace {

constexpr UINT kTick = 30;
constexpr int kGiveUpTicks = 5000 / kTick;

BOOL CALLBACK findBox(HWND window, LPARAM result)
{
    if (className(window) == "#32770" && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(result) = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK noteChild(HWND child, LPARAM seen)
{
    BoxSeen& box = *reinterpret_cast<BoxSeen*>(seen);
    const std::string kind = className(child);
    if (kind == "Button" && IsWindowVisible(child))
        box.buttons.push_back(windowText(child));
    else if (kind == "Static" && !windowText(child).empty())
        box.statics.push_back(windowText(child));
    return TRUE;
}

} // namespace

struct BoxDriver::State {
    WPARAM answer;
    UINT_PTR timer = 0;
    int ticksSinceAnswer = 0;
    BoxSeen seen;
};

namespace {

BoxDriver::State* gActive = nullptr;

// A box that is still there well after its answer was posted is ended by force, and the test
// sees `forced`; the test then fails instead of hanging.
VOID CALLBACK onTick(HWND, UINT, UINT_PTR, DWORD)
{
    BoxDriver::State* state = gActive;
    if (!state)
        return;
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findBox, reinterpret_cast<LPARAM>(&box));
    if (!box)
        return;
    if (!state->seen.found) {
        state->seen.found = true;
        state->seen.title = windowText(box);
        state->seen.owner = GetWindow(box, GW_OWNER);
        EnumChildWindows(box, noteChild, reinterpret_cast<LPARAM>(&state->seen));
        PostMessageA(box, WM_COMMAND, state->answer, 0);
    } else if (++state->ticksSinceAnswer > kGiveUpTicks) {
        state->seen.forced = true;
        EndDialog(box, IDCANCEL);
    }
}

} // namespace

BoxDriver::BoxDriver(WPARAM answer) : fState(new State)
{
    fState->answer = answer;
    gActive = fState.get();
    fState->timer = SetTimer(nullptr, 0, kTick, onTick);
}

BoxDriver::~BoxDriver()
{
    KillTimer(nullptr, fState->timer);
    gActive = nullptr;
}

const BoxSeen& BoxDriver::seen() const
{
    return fState->seen;
}

namespace {

std::map<UINT_PTR, std::function<void()>> gActions;

VOID CALLBACK runAction(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    auto found = gActions.find(timer);
    if (found == gActions.end())
        return;
    const std::function<void()> action = std::move(found->second);
    gActions.erase(found);
    action();
}

} // namespace

Later::Later(unsigned long watchdogMilliseconds)
    : fWatchdog(watchdogMilliseconds, &ovktest::Watchdog::postQuit)
{
}

Later::~Later()
{
    for (const auto& entry : gActions)
        KillTimer(nullptr, entry.first);
    gActions.clear();
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

Later& Later::after(unsigned long milliseconds, std::function<void()> action)
{
    gActions[SetTimer(nullptr, 0, milliseconds, runAction)] = std::move(action);
    return *this;
}

} // namespace frametest
