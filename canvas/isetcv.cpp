// The set canvas.
#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include <detail/iclasswide.hpp>
#include <detail/ilaybits.hpp>
#include <iexcept.hpp>
#include <ovkmsgid.hpp>

#include "detail/icvredraw.hpp"
#include "ibidiset.hpp"
#include "ireslib.hpp"
#include "iresizeh.hpp"
#include "isetcv.hpp"

namespace {

constexpr unsigned long kHorizontal = 0x1, kVertical = 0x2;
constexpr unsigned long kTight = 0x4, kEven = 0x8, kExpanded = 0x10;
constexpr unsigned long kLeft = 0x20, kRight = 0x40, kCenter = 0x80;
constexpr unsigned long kTop = 0x100, kBottom = 0x200, kVertCenter = 0x400;
constexpr unsigned long kByGroup = 0x800;
constexpr unsigned long kPackBits = kTight | kEven | kExpanded;
constexpr unsigned long kAlignBits = kLeft | kRight | kCenter | kTop | kBottom | kVertCenter;
constexpr unsigned long kHorizontalBits[3] = {kLeft, kCenter, kRight};
constexpr unsigned long kVerticalBits[3] = {kTop, kVertCenter, kBottom};

// The divisor that moves a child within spare room: near 0 (no move), far 1, centre 2.
unsigned long divisor(unsigned long style, unsigned long farBit, unsigned long centerBit)
{
    if (style & farBit)
        return 1;
    if (style & centerBit)
        return 2;
    return 0;
}

bool conflicting(unsigned long extended)
{
    static const unsigned long pairs[][2] = {
        {kHorizontal, kVertical}, {kTight, kEven}, {kTight, kExpanded}, {kEven, kExpanded},
        {kLeft, kRight}, {kLeft, kCenter}, {kRight, kCenter}, {kTop, kBottom},
        {kTop, kVertCenter}, {kBottom, kVertCenter}};
    for (const auto& pair : pairs)
        if ((extended & pair[0]) && (extended & pair[1]))
            return true;
    return false;
}

// Bidirectional layouts mirror the decks when the width changes; this platform has none, so
// the handler only keeps the place where they would be handled.
class SetCanvasResizeHandler : public IResizeHandler {
protected:
    IBase::Boolean windowResize(IResizeEvent& event) override
    {
        if (IBidiSettings::isBidiSupported() && event.newSize().width() != event.oldSize().width())
            if (IWindow* window = event.window())
                window->setLayoutDistorted(ovk_layout::arrangementChanged, 0);
        return false;
    }
};

} // namespace

// Along and across: the two axes of a deck, mapped to x and y by the orientation.
struct ISetCanvas::Placement {
    IWindow* window = nullptr;
    long along = 0;
    long across = 0;
    long alongSize = 0;
    long acrossSize = 0;
    bool startsDeck = false;
    bool group = false;
    long deckBreadth = 0;
    std::size_t place = 0;
};

// One layout's arrangement, built in passes: gather the children into decks, place each at its
// minimum size, then pack and align within the decks. The settings are read once, mapped to the
// deck axes.
struct ISetCanvas::Arrangement {
    explicit Arrangement(const ISetCanvas& canvas);

    void gather(std::vector<IWindowHandle::Value> listed, unsigned long deckCount);
    void placeInDecks(long groupPad);
    void packExpanded();
    void packEvenly();
    ISize minimumSize(const ISize& margin) const;
    IRectangle rectangleOf(const Placement& p) const;

    unsigned long style;
    bool byGroup;
    bool horizontalDecks;
    bool titled;
    long nearAlong = 0, nearAcross = 0, padAlong = 0, padAcross = 0;
    PackType pack;
    unsigned long alongDivisor, acrossDivisor;

    std::vector<IWindowHandle::Value> children;
    std::vector<Placement> placed;
    // The decks' length in children (the first `extra` decks take one more), and the longest
    // child in each place along the decks.
    std::size_t perDeck = 0, extra = 0;
    std::vector<long> placeSize;
    ISize largest;
    long reachAlong = 0, farAcross = 0;
};

const ISetCanvas::Style ISetCanvas::horizontalDecks(0, kHorizontal);
const ISetCanvas::Style ISetCanvas::verticalDecks(0, kVertical);
const ISetCanvas::Style ISetCanvas::packTight(0, kTight);
const ISetCanvas::Style ISetCanvas::packEven(0, kEven);
const ISetCanvas::Style ISetCanvas::packExpanded(0, kExpanded);
const ISetCanvas::Style ISetCanvas::leftAlign(0, kLeft);
const ISetCanvas::Style ISetCanvas::rightAlign(0, kRight);
const ISetCanvas::Style ISetCanvas::centerAlign(0, kCenter);
const ISetCanvas::Style ISetCanvas::topAlign(0, kTop);
const ISetCanvas::Style ISetCanvas::bottomAlign(0, kBottom);
const ISetCanvas::Style ISetCanvas::centerVerticalAlign(0, kVertCenter);
const ISetCanvas::Style ISetCanvas::decksByGroup(0, kByGroup);
const ISetCanvas::Style ISetCanvas::classDefault(WS_VISIBLE, 0x125);

const char* const ISetCanvas::textId = "ISetCanvas::text";
const char* const ISetCanvas::deckOrientationId = "ISetCanvas::deckOrientation";

ISetCanvas::Style ISetCanvas::defaultStyle()
{
    return ovk_app::ClassDefault<classDefault>::current();
}

void ISetCanvas::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefault>::replace(style);
}

ISetCanvas::ISetCanvas(unsigned long id, IWindow* parent, IWindow* owner,
                       const IRectangle& initial, const Style& style)
    : fLayoutDepth(std::make_unique<std::uint32_t>(0))
{
    if (conflicting(style.asExtendedUnsignedLong()))
        IThrow::message(OVK_MSG_CONFLICTING_STYLE,
                        IEXCEPTION_LOCATION("isetcv", "ISetCanvas::ISetCanvas(unsigned long,IWindow*,"
                                                      "IWindow*,const IRectangle&,const "
                                                      "ISetCanvas::Style&)"));
    setExtendedStyle(extendedStyle() | style.asExtendedUnsignedLong());
    initialize(id, parent, owner, initial, convertToGUIStyle(style, false),
               convertToGUIStyle(style, true));
    const ISize character = characterSize();
    fMargin = ISize(character.width(), character.height() / 2);
    fPad = fMargin;
    fResizeHandler = std::make_unique<SetCanvasResizeHandler>();
    fResizeHandler->handleEventsFor(this);
}

ISetCanvas::~ISetCanvas()
{
    try {
        if (fResizeHandler && isValid())
            fResizeHandler->stopHandlingEventsFor(this);
    } catch (const IException&) {
        // The window's handler list is gone with the window.
    }
}

unsigned long ISetCanvas::convertToGUIStyle(const IBitFlag& style, IBase::Boolean extended) const
{
    return ICanvas::convertToGUIStyle(style, extended);
}

IWindow& ISetCanvas::setLayoutDistorted(unsigned long layoutAttributeOn,
                                        unsigned long layoutAttributeOff)
{
    unsigned long on = layoutAttributeOn & ~ovk_layout::childMinimumSizeChanged;
    if ((layoutAttributeOn & ovk_layout::childMinimumSizeChanged) && *fLayoutDepth == 0) {
        on |= ovk_layout::layoutDue;
        if (!(layoutAttributeOn & ovk_layout::childrenChanged) &&
            !isLayoutDistorted(ovk_layout::childrenChanged))
            on |= ovk_layout::refreshDue;
    }
    if ((on & ovk_layout::fontChanged) && isValid() && GetWindowTextLengthA(handle()) > 0)
        on |= ovk_layout::layoutDue;
    return ICanvas::setLayoutDistorted(on, layoutAttributeOff);
}

// Setters --------------------------------------------------------------------------------------

void ISetCanvas::changeExtendedStyle(unsigned long clear, unsigned long set)
{
    const unsigned long current = extendedStyle();
    const unsigned long wanted = (current & ~clear) | set;
    if (wanted == current)
        return;
    setExtendedStyle(wanted);
    setLayoutDistorted(ovk_layout::arrangementChanged, 0);
}

ISetCanvas& ISetCanvas::setAlignment(Alignment alignment)
{
    const unsigned long value = static_cast<unsigned long>(alignment);
    if (value > 8)
        IThrow::message(OVK_MSG_INVALID_VALUE,
                        IEXCEPTION_LOCATION("isetcv", "ISetCanvas::setAlignment(ISetCanvas::Alignment)"));
    changeExtendedStyle(kAlignBits, kHorizontalBits[value % 3] | kVerticalBits[value / 3]);
    return *this;
}

ISetCanvas::Alignment ISetCanvas::alignment() const
{
    const unsigned long style = extendedStyle();
    const unsigned long h = (style & kRight) ? 2 : (style & kCenter) ? 1 : 0;
    const unsigned long v = (style & kBottom) ? 2 : (style & kVertCenter) ? 1 : 0;
    return static_cast<Alignment>(v * 3 + h);
}

ISetCanvas& ISetCanvas::setPackType(PackType type)
{
    static const unsigned long bits[3] = {kTight, kEven, kExpanded};
    const unsigned long value = static_cast<unsigned long>(type);
    if (value > 2)
        IThrow::message(OVK_MSG_INVALID_VALUE,
                        IEXCEPTION_LOCATION("isetcv", "ISetCanvas::setPackType(ISetCanvas::PackType)"));
    changeExtendedStyle(kPackBits, bits[value]);
    return *this;
}

ISetCanvas::PackType ISetCanvas::packType() const
{
    const unsigned long style = extendedStyle();
    return (style & kEven) ? even : (style & kExpanded) ? expanded : tight;
}

ISetCanvas& ISetCanvas::setDeckOrientation(DeckOrientation orientation)
{
    if (orientation != horizontal && orientation != vertical)
        IThrow::message(OVK_MSG_INVALID_VALUE,
                        IEXCEPTION_LOCATION("isetcv", "ISetCanvas::setDeckOrientation(ISetCanvas::"
                                                      "DeckOrientation)"));
    const unsigned long before = extendedStyle();
    changeExtendedStyle(kHorizontal | kVertical, orientation == horizontal ? kHorizontal : kVertical);
    if (extendedStyle() != before)
        notifyObservers(INotificationEvent(deckOrientationId, *this, true,
                                           IEventData(static_cast<unsigned long>(orientation))));
    return *this;
}

ISetCanvas::DeckOrientation ISetCanvas::deckOrientation() const
{
    return (extendedStyle() & kVertical) ? vertical : horizontal;
}

ISetCanvas& ISetCanvas::setDeckCount(unsigned long count)
{
    if (count == 0)
        IThrow::argument("decks != 0",
                         IEXCEPTION_LOCATION("isetcv", "ISetCanvas::setDeckCount(unsigned long)"));
    if (count != fDeckCount) {
        fDeckCount = count;
        setLayoutDistorted(ovk_layout::arrangementChanged, 0);
    }
    return *this;
}

ISetCanvas& ISetCanvas::setMargin(const ISize& margin)
{
    if (!(margin.width() >= 0 && margin.height() >= 0))
        IThrow::argument("margin.width() >= 0 && margin.height() >= 0",
                         IEXCEPTION_LOCATION("isetcv", "ISetCanvas::setMargin(const ISize&)"));
    if (margin != fMargin) {
        fMargin = margin;
        setLayoutDistorted(ovk_layout::arrangementChanged, 0);
    }
    return *this;
}

ISetCanvas& ISetCanvas::setPad(const ISize& pad)
{
    if (!(pad.width() >= -1 && pad.height() >= -1))
        IThrow::argument("pad.width() >= -1 && pad.height() >= -1",
                         IEXCEPTION_LOCATION("isetcv", "ISetCanvas::setPad(const ISize&)"));
    if (pad != fPad) {
        fPad = pad;
        setLayoutDistorted(ovk_layout::arrangementChanged, 0);
    }
    return *this;
}

ISetCanvas& ISetCanvas::setGroupPad(unsigned long pad)
{
    if (pad != fGroupPad) {
        fGroupPad = pad;
        setLayoutDistorted(ovk_layout::arrangementChanged, 0);
    }
    return *this;
}

IString ISetCanvas::text() const
{
    const int length = GetWindowTextLengthA(handle());
    if (length <= 0)
        return IString();
    std::string buffer(static_cast<std::size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(handle(), &buffer[0], length + 1);
    return IString(buffer.c_str(), static_cast<unsigned>(std::max(got, 0)));
}

ISetCanvas& ISetCanvas::setText(const char* newText)
{
    const bool empty = !newText || !*newText;
    const unsigned long style = this->style();
    // The static type 6 keeps the group frame away; a title brings it (the canvas handler
    // paints a frame for any other type).
    if (!empty && (style & 0xF))
        setStyle(style & ~0xFUL);
    else if (empty && !(style & 0xF))
        setStyle(style | 0x6);
    if (text() == IString(newText ? newText : ""))
        return *this;
    SetWindowTextA(handle(), newText ? newText : "");
    if (!newText) {
        setLayoutDistorted(ovk_layout::layoutDue, 0);
        refresh();
    } else {
        setLayoutDistorted(ovk_layout::arrangementChanged, 0);
    }
    notifyObservers(textId);
    return *this;
}

ISetCanvas& ISetCanvas::setText(const IResourceId& text)
{
    const IString loaded = text.resourceLibrary().loadString(text.id());
    return setText(static_cast<const char*>(loaded));
}

ISetCanvas& ISetCanvas::expandForText()
{
    const IString title = text();
    if (title.length() == 0)
        return *this;
    const IPresSpaceHandle context = presSpace();
    SIZE extent{};
    IFont current = font();
    current.beginUsingFont(context);
    const BOOL measured =
        GetTextExtentPointA(context, title, static_cast<int>(title.length()), &extent);
    current.endUsingFont(context);
    const DWORD error = GetLastError();
    releasePresSpace(context);
    if (!measured)
        IThrow::systemError("GetTextExtentPoint", error,
                            IEXCEPTION_LOCATION("isetcv", "ISetCanvas::expandForText()"));
    const ISize minimum = layoutMinimumSize();
    setLayoutMinimumSize(ISize(std::max<long>(minimum.width(), extent.cx) + 1,
                               minimum.height() + extent.cy + 1));
    return *this;
}

// Layout ---------------------------------------------------------------------------------------

ISetCanvas& ISetCanvas::layout()
{
    if (!isLayoutDistorted(ovk_layout::layoutDue))
        return *this;
    struct Depth {
        std::uint32_t& counter;
        explicit Depth(std::uint32_t& c) : counter(c) { ++counter; }
        ~Depth() { --counter; }
    } depth(*fLayoutDepth);

    const ISize previous = layoutMinimumSize();
    Arrangement arrangement(*this);
    const ISize minimum = arrange(arrangement);

    ovk_canvas::QuietLayout quiet(*this);
    IWindowPosBuffer& buffer = fixupListedChildren(arrangement.children);
    setLayoutMinimumSize(minimum);
    expandForText();
    for (const Placement& p : arrangement.placed)
        buffer.moveSizeTo(p.window, arrangement.rectangleOf(p));
    buffer.apply();
    quiet.end();
    setLayoutDistorted(0, ovk_layout::layoutDue);
    if (layoutMinimumSize() != previous)
        setLayoutDistorted(ovk_layout::minimumSizeChanged, 0);
    return *this;
}

// Places the children in decks at their minimum sizes, moves them within their decks and
// places by the pack type and alignment, and answers the minimum size of the arrangement.
ISize ISetCanvas::arrange(Arrangement& arrangement)
{
    arrangement.gather(childrenInOrder(), fDeckCount);
    arrangement.placeInDecks(static_cast<long>(fGroupPad));
    if (arrangement.pack == expanded)
        arrangement.packExpanded();
    else if (arrangement.pack == even || arrangement.acrossDivisor != 0)
        arrangement.packEvenly();
    return arrangement.minimumSize(fMargin);
}

// A title takes a line above the children and a pixel of frame on each side.
ISetCanvas::Arrangement::Arrangement(const ISetCanvas& canvas)
    : style(canvas.extendedStyle()),
      byGroup((style & kByGroup) != 0),
      horizontalDecks(!(style & kVertical)),
      titled(GetWindowTextLengthA(canvas.handle()) > 0),
      pack(canvas.packType()),
      alongDivisor(horizontalDecks ? divisor(style, kRight, kCenter)
                                   : divisor(style, kBottom, kVertCenter)),
      acrossDivisor(horizontalDecks ? divisor(style, kBottom, kVertCenter)
                                    : divisor(style, kRight, kCenter))
{
    long nearX = canvas.fMargin.width(), nearY = canvas.fMargin.height();
    if (titled) {
        nearX += 1;
        nearY = canvas.fMargin.height() + canvas.characterSize().height() + 3;
    }
    nearAlong = horizontalDecks ? nearX : nearY;
    nearAcross = horizontalDecks ? nearY : nearX;
    padAlong = horizontalDecks ? canvas.fPad.width() : canvas.fPad.height();
    padAcross = horizontalDecks ? canvas.fPad.height() : canvas.fPad.width();
}

// Keeps every child's handle for the fix-up and a placement for each window object's. Decks by
// group start at each group child; otherwise the children share the decks evenly.
void ISetCanvas::Arrangement::gather(std::vector<IWindowHandle::Value> listed,
                                     unsigned long deckCount)
{
    children = std::move(listed);
    placed.reserve(children.size());
    std::size_t run = 0;
    for (const HWND child : children) {
        IWindow* window = windowWithHandle(child, true);
        if (!window)
            continue;
        Placement p;
        p.window = window;
        p.group = window->isGroup() != 0;
        if (byGroup && p.group) {
            run = 1;
            p.startsDeck = true;
        } else {
            ++run;
        }
        perDeck = std::max(perDeck, run);
        placed.push_back(p);
    }
    if (!byGroup) {
        perDeck = placed.size() / deckCount;
        extra = placed.size() % deckCount;
    }
    placeSize.assign(perDeck + 1, 0);
}

// Each child at its minimum size, one after another along its deck, the decks side by side;
// a deck is as broad as its broadest child.
void ISetCanvas::Arrangement::placeInDecks(long groupPad)
{
    long along = nearAlong, across = nearAcross;
    reachAlong = nearAlong;
    std::size_t deckStart = 0, inDeck = 0, capacity = 0;
    std::size_t longer = extra;
    for (std::size_t i = 0; i < placed.size(); ++i) {
        Placement& p = placed[i];
        const ISize minimum = p.window->minimumSize();
        largest = ISize(std::max(largest.width(), minimum.width()),
                        std::max(largest.height(), minimum.height()));
        p.alongSize = horizontalDecks ? minimum.width() : minimum.height();
        p.acrossSize = horizontalDecks ? minimum.height() : minimum.width();
        if (i == 0 || p.startsDeck || (!byGroup && inDeck >= capacity)) {
            if (i != 0)
                across += placed[deckStart].deckBreadth + padAcross;
            along = nearAlong;
            deckStart = i;
            inDeck = 0;
            p.startsDeck = true;
            capacity = perDeck + (longer > 0 ? 1 : 0);
            if (longer > 0)
                --longer;
        } else {
            along += padAlong + (p.group ? groupPad : 0);
        }
        p.along = along;
        p.across = across;
        p.place = inDeck;
        along += p.alongSize;
        reachAlong = std::max(reachAlong, along);
        placed[deckStart].deckBreadth = std::max(placed[deckStart].deckBreadth, p.acrossSize);
        if (inDeck >= placeSize.size())
            placeSize.resize(inDeck + 1, 0);
        placeSize[inDeck] = std::max(placeSize[inDeck], p.alongSize);
        ++inDeck;
    }
    farAcross = placed.empty() ? nearAcross : across + placed[deckStart].deckBreadth;
}

// Every child at the size of the largest, in a grid of equal cells.
void ISetCanvas::Arrangement::packExpanded()
{
    const long commonAlong = horizontalDecks ? largest.width() : largest.height();
    const long commonAcross = horizontalDecks ? largest.height() : largest.width();
    long along = nearAlong, across = nearAcross;
    reachAlong = nearAlong;
    for (std::size_t i = 0; i < placed.size(); ++i) {
        Placement& p = placed[i];
        if (p.startsDeck && i != 0) {
            along = nearAlong;
            across += commonAcross + padAcross;
        }
        p.along = along;
        p.across = across;
        p.alongSize = commonAlong;
        p.acrossSize = commonAcross;
        along += commonAlong;
        reachAlong = std::max(reachAlong, along);
        along += padAlong;
    }
    farAcross = placed.empty() ? nearAcross : across + commonAcross;
}

// Aligns each child across its deck; packed even, each place along the decks is as long as
// its longest child in any deck, and the child is aligned within it.
void ISetCanvas::Arrangement::packEvenly()
{
    long breadth = 0, along = nearAlong;
    for (Placement& p : placed) {
        if (p.startsDeck) {
            breadth = p.deckBreadth;
            along = nearAlong;
        } else if (pack == even) {
            along += padAlong;
        }
        if (acrossDivisor != 0)
            p.across += static_cast<long>(
                static_cast<unsigned long>(breadth - p.acrossSize) / acrossDivisor);
        if (pack == even) {
            const long slot = placeSize[p.place];
            p.along = along;
            if (alongDivisor != 0)
                p.along += static_cast<long>(
                    static_cast<unsigned long>(slot - p.alongSize) / alongDivisor);
            along += slot;
            reachAlong = std::max(reachAlong, along);
        }
    }
}

ISize ISetCanvas::Arrangement::minimumSize(const ISize& margin) const
{
    const long farX = horizontalDecks ? reachAlong : farAcross;
    const long farY = horizontalDecks ? farAcross : reachAlong;
    return ISize(farX + margin.width() + (titled ? 1 : 0), farY + margin.height() + (titled ? 2 : 0));
}

// The child's rectangle in x and y, widened by what the child asks beyond its placement.
IRectangle ISetCanvas::Arrangement::rectangleOf(const Placement& p) const
{
    const IRectangle adjustment = p.window->layoutAdjustment();
    const long x = horizontalDecks ? p.along : p.across;
    const long y = horizontalDecks ? p.across : p.along;
    const long width = (horizontalDecks ? p.alongSize : p.acrossSize) + adjustment.width();
    const long height = (horizontalDecks ? p.acrossSize : p.alongSize) + adjustment.height();
    return IRectangle(IPoint(x, y), ISize(width, height));
}
