// A program that uses the installed library through its umbrella header only.
#include <ovkwin.hpp>

#include <cstdio>

int main()
{
    // A class of the library itself, so that ovkwin.dll is loaded and its entry point runs.
    // Colours are kept in the platform's COLORREF order, red in the low byte.
    const IColor red(128, 0, 0);
    // The library's entry point has made the base library read message texts from ovkres.dll:
    // a text from there, not the base library's fallback.
    const IString text = IMessageText::textFor(46);
    if (red.asRGBLong() != 0x000080 || text.isEmpty() || text == IMessageText::fallbackText(46)) {
        std::printf("consumer: failed (%s)\n", static_cast<const char*>(text));
        return 1;
    }
    std::printf("consumer: ok\n");
    return 0;
}
