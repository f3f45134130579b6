// The animated button: its bitmap list, the timer that steps through it, and its face.
#include <windows.h>

#include <algorithm>
#include <memory>
#include <vector>

#include <detail/iclasswide.hpp>
#include <detail/ilaybits.hpp>
#include <iexcept.hpp>
#include <ovkmsgid.hpp>

#include <iapp.hpp>
#include <igbitmap.hpp>
#include <igrafctx.hpp>
#include <itimer.hpp>

#include "ianimbut.hpp"
#include "icbdrevt.hpp"
#include "icbhdr.hpp"

namespace {

const char kFile[] = "ianimbut";
constexpr unsigned long kAnimateWhenLatched = 0x4;

// The first id and the count of each predefined animation.
struct Animation {
    unsigned long first;
    unsigned long count;
};
const Animation kAnimations[16] = {
    {0x7114, 1}, {0x7119, 1}, {0x7116, 1}, {0x7129, 5}, {0x7113, 1}, {0x7115, 1},
    {0x712E, 1}, {0x7118, 1}, {0x7117, 1}, {0x711A, 1}, {0x711B, 1}, {0x711D, 6},
    {0x7123, 6}, {0x711C, 1}, {0x712F, 1}, {0x7130, 1},
};

[[noreturn]] void indexOutOfRange(unsigned long index, const char* function)
{
    IInvalidRequest failure(OVK_MSG_INDEX_OUT_OF_RANGE);
    failure.setText(failure.text() + " " + IString(index));
    IThrow::exception(failure, IEXCEPTION_LOCATION(kFile, function));
}

void drawBitmap(IGraphicContext& context, const IBitmapHandle& bitmap, const IPoint& position)
{
    IGBitmap graphic(bitmap);
    graphic.moveTo(position);
    graphic.drawOn(context);
}

} // namespace

// The button's own draw handler and its animation state in one record.
class IAnimatedButtonData : public ICustomButtonDrawHandler {
public:
    explicit IAnimatedButtonData(IAnimatedButton* owner) : button(owner) {}
    ~IAnimatedButtonData() override { stopTimer(); }

    // The current bitmap centred across the face: centred down it too without a text, against
    // the face's far edge with one; the text goes over it as a custom button draws it.
    IBase::Boolean drawForeground(ICustomButtonDrawEvent& event) override;

    void stopTimer() noexcept;
    void tick();

    IAnimatedButton* button;
    unsigned long rate = 1000;
    unsigned long index = 0;
    std::vector<IBitmapHandle> bitmaps;
    std::unique_ptr<ITimer> timer;
    IPoint position;
};

namespace {

// What the timer calls; it knows the record only while the record lives.
class AnimationStep : public ITimerFn {
public:
    explicit AnimationStep(IAnimatedButtonData* data) : fData(data) {}
    void timerExpired(unsigned long) override
    {
        if (fData)
            fData->tick();
    }
    void forget() noexcept { fData = nullptr; }

private:
    IAnimatedButtonData* fData;
};

} // namespace

IBase::Boolean IAnimatedButtonData::drawForeground(ICustomButtonDrawEvent& event)
{
    const IRectangle face = event.faceRectangle();
    if (!bitmaps.empty() && button) {
        const IGBitmap graphic(bitmaps[index]);
        const ISize size = graphic.size();
        const long x = face.minX() + (face.width() - size.width()) / 2;
        const long y = button->buttonText().isEmpty()
                           ? face.minY() + (face.height() - size.height()) / 2
                           : face.maxY() - size.height();
        position = IPoint(x, y);
        drawBitmap(event.graphicContext(), bitmaps[index], position);
    }
    if (button && !button->buttonText().isEmpty())
        ICustomButtonDrawHandler::drawForeground(event);
    return true;
}

void IAnimatedButtonData::stopTimer() noexcept
{
    if (!timer)
        return;
    try {
        timer->stop();
    } catch (...) {
    }
    timer.reset();
}

void IAnimatedButtonData::tick()
{
    if (bitmaps.empty())
        return;
    index = index + 1 >= bitmaps.size() ? 0 : index + 1;
    if (!button || !button->isValid())
        return;
    IGraphicContext context(button->handle());
    drawBitmap(context, bitmaps[index], position);
}

const IAnimatedButton::Style IAnimatedButton::animateWhenLatched(0, kAnimateWhenLatched);
const IAnimatedButton::Style IAnimatedButton::classDefaultStyle(WS_VISIBLE, 0);

IAnimatedButton::IAnimatedButton(unsigned long id, IWindow* parent, IWindow* owner,
                                 const IRectangle& rect, const Style& style)
    : fAnimatedButtonData(nullptr)
{
    if (!parent)
        IThrow::argument("parent!=0",
                         IEXCEPTION_LOCATION(kFile, "IAnimatedButton::IAnimatedButton(unsigned "
                                                    "long,IWindow*,IWindow*,const IRectangle&,"
                                                    "const IAnimatedButton::Style&)"));
    setExtendedStyle(extendedStyle() | style.asExtendedUnsignedLong());
    auto data = std::make_unique<IAnimatedButtonData>(this);
    createButtonWindow(id, parent, owner, rect, style);
    fAnimatedButtonData = data.release();
    fAnimatedButtonData->handleEventsFor(this);
}

IAnimatedButton::~IAnimatedButton()
{
    fAnimatedButtonData->stopTimer();
    fAnimatedButtonData->button = nullptr;
    fAnimatedButtonData->stopHandlingEventsFor(this);
    delete fAnimatedButtonData;
}

IAnimatedButton::Style IAnimatedButton::defaultStyle()
{
    return ovk_app::ClassDefault<classDefaultStyle>::current();
}

void IAnimatedButton::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefaultStyle>::replace(style);
}

unsigned long IAnimatedButton::convertToGUIStyle(const IBitFlag& style, IBase::Boolean extended) const
{
    const unsigned long converted = ICustomButton::convertToGUIStyle(style, extended);
    return extended ? converted | (style.asExtendedUnsignedLong() & 0xFF000000UL) : converted;
}

ISize IAnimatedButton::calcMinimumSize() const
{
    const long cx = GetSystemMetrics(SM_CXBORDER);
    const long cy = GetSystemMetrics(SM_CYBORDER);
    ISize size = buttonText().isEmpty() ? ISize(5 * cx, 5 * cy) : ICustomButton::calcMinimumSize();
    const IAnimatedButtonData& data = *fAnimatedButtonData;
    if (!data.bitmaps.empty()) {
        const ISize shown = IGBitmap(data.bitmaps[data.index]).size();
        size = ISize(std::max(static_cast<long>(size.width()), static_cast<long>(shown.width()) + 5 * cx),
                     size.height() + shown.height());
    }
    return size;
}

// Bitmaps -----------------------------------------------------------------------------------------

IAnimatedButton& IAnimatedButton::setBitmaps(const IResourceId& first, unsigned long count)
{
    IAnimatedButtonData& data = *fAnimatedButtonData;
    std::vector<IBitmapHandle> loaded;
    loaded.reserve(count);
    for (unsigned long i = 0; i < count; ++i)
        loaded.push_back(first.resourceLibrary().loadBitmap(first.id() + i));
    data.bitmaps.swap(loaded);
    data.index = 0;
    setLayoutDistorted(ovk_layout::minimumSizeChanged, 0);
    return *this;
}

IAnimatedButton& IAnimatedButton::setBitmaps(AnimatedBitmaps animation)
{
    const Animation& row = kAnimations[static_cast<unsigned>(animation) & 15u];
    return setBitmaps(IResourceId(row.first, IApplication::current().ovkuiResourceLibrary()),
                      row.count);
}

IBitmapHandle IAnimatedButton::bitmap(unsigned long index) const
{
    const IAnimatedButtonData& data = *fAnimatedButtonData;
    return index < data.bitmaps.size() ? data.bitmaps[index] : IBitmapHandle();
}

unsigned long IAnimatedButton::bitmapCount() const
{
    return static_cast<unsigned long>(fAnimatedButtonData->bitmaps.size());
}

unsigned long IAnimatedButton::currentBitmapIndex() const
{
    return fAnimatedButtonData->index;
}

IAnimatedButton& IAnimatedButton::setCurrentBitmapIndex(unsigned long index)
{
    if (index >= bitmapCount())
        indexOutOfRange(index, "IAnimatedButton::setCurrentBitmapIndex(unsigned long)");
    fAnimatedButtonData->index = index;
    return *this;
}

// Animation ---------------------------------------------------------------------------------------

IAnimatedButton& IAnimatedButton::setAnimationRate(unsigned long milliseconds)
{
    fAnimatedButtonData->rate = milliseconds;
    if (fAnimatedButtonData->timer)
        fAnimatedButtonData->timer->setInterval(milliseconds);
    return *this;
}

unsigned long IAnimatedButton::animationRate() const
{
    return fAnimatedButtonData->rate;
}

IAnimatedButton& IAnimatedButton::startAnimation(unsigned long index)
{
    stopAnimation();
    if (index >= bitmapCount())
        indexOutOfRange(index, "IAnimatedButton::startAnimation(unsigned long)");
    IAnimatedButtonData& data = *fAnimatedButtonData;
    data.index = index;
    data.timer = std::make_unique<ITimer>(IReference<ITimerFn>(new AnimationStep(&data)), data.rate);
    return *this;
}

IAnimatedButton& IAnimatedButton::stopAnimation()
{
    fAnimatedButtonData->stopTimer();
    return *this;
}

IBase::Boolean IAnimatedButton::isAnimating() const
{
    return fAnimatedButtonData->timer != nullptr;
}

IBase::Boolean IAnimatedButton::isAnimateWhenLatchedEnabled() const
{
    return (extendedStyle() & kAnimateWhenLatched) != 0;
}

IAnimatedButton& IAnimatedButton::enableAnimateWhenLatched(IBase::Boolean enable)
{
    setExtendedBit(kAnimateWhenLatched, enable != 0);
    if (enable && isLatched() && !isAnimating() && bitmapCount())
        startAnimation(currentBitmapIndex());
    else if (!enable && isAnimating())
        stopAnimation();
    return *this;
}

IAnimatedButton& IAnimatedButton::disableAnimateWhenLatched()
{
    return enableAnimateWhenLatched(false);
}

ICustomButton& IAnimatedButton::setLatched(IBase::Boolean latched, IBase::Boolean refresh)
{
    ICustomButton::setLatched(latched, refresh);
    if (!isAnimateWhenLatchedEnabled())
        return *this;
    if (isLatched()) {
        if (!isAnimating() && bitmapCount())
            startAnimation(currentBitmapIndex());
    } else {
        stopAnimation();
        fAnimatedButtonData->index = 0;
        if (refresh)
            IWindow::refresh();
    }
    return *this;
}
