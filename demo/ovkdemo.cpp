// The ovkwin demo: opens its main window and, with "--autoclose MS", closes it after MS ms so
// that a script can take a screenshot and go on.
#include <windows.h>

#include <ovkwin.hpp>

#include <cstdlib>
#include <cstring>

namespace {

constexpr UINT_PTR kCloseTimer = 1;

LRESULT CALLBACK demoProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
        IString text("ovkwin demo");
        SetBkMode(dc, TRANSPARENT);
        DrawTextA(dc, text, static_cast<int>(text.length()), &client,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_TIMER:
        if (wParam == kCloseTimer)
            DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = demoProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = "ovkdemo";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "ovkdemo", "ovkwin demo", WS_OVERLAPPEDWINDOW, 40, 40, 480,
                                  320, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    ShowWindow(window, show);
    UpdateWindow(window);
    if (const char* option = std::strstr(commandLine, "--autoclose "))
        SetTimer(window, kCloseTimer, static_cast<UINT>(std::atoi(option + 12)), nullptr);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
