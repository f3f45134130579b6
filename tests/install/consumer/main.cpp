// A program that uses the installed library through its umbrella header only.
#include <ovkwin.hpp>

#include <cstdio>

int main()
{
    IString text("consumer");
    text += ": ok";
    std::printf("%s\n", static_cast<const char*>(text));
    return text.length() == 12 ? 0 : 1;
}
