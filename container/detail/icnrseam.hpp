// Where the container meets the basic controls: the title window and the mouse handler that
// composite controls share.
#pragma once

struct HWND__;
class ICnrCtl;
class IStaticText;

namespace ICnrSeam {

// The shared owner-mouse handler starts and stops handling the container's events.
void attachOwnerMouse(ICnrCtl& container);
void detachOwnerMouse(ICnrCtl& container) noexcept;

} // namespace ICnrSeam

// The container's title: the library's static text, a child with id 0x7FF5, hidden until laid
// out.
class ICnrTitle {
public:
    explicit ICnrTitle(ICnrCtl& container);
    ~ICnrTitle();
    ICnrTitle(const ICnrTitle&) = delete;
    ICnrTitle& operator=(const ICnrTitle&) = delete;

    HWND__* handle() const noexcept;
    void setText(const char* text);
    // The container's font, so that title and contents match.
    void takeFontOf(ICnrCtl& container);
    // CA_TITLELEFT, CA_TITLECENTER or CA_TITLERIGHT.
    void setAlignment(unsigned long titleAttribute);

private:
    IStaticText* fText = nullptr;
};
