// The text spin button and its cursor.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cctype>

#include <detail/iclasswide.hpp>
#include <iexcept.hpp>
#include <ovkmsgid.hpp>

#include <iadvrec.hpp>
#include "detail/ispinslt.hpp"
#include "inotifhd.hpp"
#include "ispintxt.hpp"

using namespace ovkspin;

namespace {

constexpr const char* kFile = "ispintxt";
// The native arrows count in 16 bits.
constexpr unsigned long kMostNativeTexts = 32767;

IWindowHandle handleOf(const IWindow* window)
{
    return window ? window->handle() : IWindowHandle();
}

std::string folded(const char* text)
{
    std::string result(text ? text : "");
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return result;
}

} // namespace

struct ITextSpinButtonData {
    virtual ~ITextSpinButtonData() = default;
    unsigned long textCount = 0;
    unsigned long generation = 0;
    std::vector<std::string> texts;
    // One pointer per text, handed to the outside window; rebuilt by refreshText.
    std::vector<const char*> pointers;
};

const ITextSpinButton::Style ITextSpinButton::classDefaultStyle(WS_VISIBLE, 0x300);

ITextSpinButton::Style ITextSpinButton::defaultStyle()
{
    return ovk_app::ClassDefault<classDefaultStyle>::current();
}

void ITextSpinButton::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefaultStyle>::replace(style);
}

// Construction ---------------------------------------------------------------------------------

ITextSpinButton::ITextSpinButton(unsigned long id, IWindow* parent, IWindow* owner,
                                 const IRectangle& rect, const Style& style)
{
    if ((style.asExtendedUnsignedLong() & 0x20) && (style.asUnsignedLong() & 0x1))
        IThrow::message(OVK_MSG_NOT_TEXT_SPIN_BUTTON,
                        IEXCEPTION_LOCATION(kFile, "ITextSpinButton::ITextSpinButton(unsigned long,"
                                                   "IWindow*,IWindow*,const IRectangle&,const "
                                                   "ITextSpinButton::Style&)"));
    createArray();
    initialize(id, handleOf(parent), handleOf(owner), style, rect);
}

ITextSpinButton::ITextSpinButton(unsigned long id, IWindow* parent)
{
    static const char* const function = "ITextSpinButton::ITextSpinButton(unsigned long,IWindow*)";
    createArray();
    takeChargeOfKind(childWithId(id, parent, kFile, function), false, OVK_MSG_NOT_TEXT_SPIN_BUTTON,
                     kFile, function);
}

ITextSpinButton::ITextSpinButton(const IWindowHandle& handle)
{
    createArray();
    takeChargeOfKind(handle, false, OVK_MSG_NOT_TEXT_SPIN_BUTTON, kFile,
                     "ITextSpinButton::ITextSpinButton(const IWindowHandle&)");
}

ITextSpinButton::~ITextSpinButton()
{
    delete fTextSpinButtonData;
}

void ITextSpinButton::createArray()
{
    fTextSpinButtonData = new ITextSpinButtonData;
}

IWindow& ITextSpinButton::enableNotification(IBase::Boolean enable)
{
    return ovkEnableNotification(*this, ITextSpinButtonNotifyHandler::shared(), enable);
}

// The array --------------------------------------------------------------------------------------

IString ITextSpinButton::elementAt(unsigned long index) const
{
    IARGUMENT_CHECK(index < fTextSpinButtonData->textCount, kFile,
                    "ITextSpinButton::elementAt(unsigned long) const");
    return IString(fTextSpinButtonData->texts[index].c_str());
}

IString ITextSpinButton::elementAt(const Cursor& cursor) const
{
    IARGUMENT_CHECK(cursor.isValid(), kFile, "ITextSpinButton::elementAt(const ITextSpinButton::Cursor&) const");
    return elementAt(cursor.index());
}

unsigned long ITextSpinButton::numberOfElements() const
{
    return fTextSpinButtonData->textCount;
}

IBase::Boolean ITextSpinButton::isEmpty() const
{
    return fTextSpinButtonData->textCount == 0;
}

void ITextSpinButton::changed()
{
    fTextSpinButtonData->textCount = static_cast<unsigned long>(fTextSpinButtonData->texts.size());
    ++fTextSpinButtonData->generation;
}

ITextSpinButton& ITextSpinButton::add(const char* text, Cursor& cursor)
{
    IARGUMENT_CHECK(cursor.isValid(), kFile, "ITextSpinButton::add(const char*,ITextSpinButton::Cursor&)");
    auto& texts = fTextSpinButtonData->texts;
    texts.insert(texts.begin() + static_cast<long>(cursor.index()), text ? text : "");
    changed();
    cursor.fGeneration = fTextSpinButtonData->generation;
    return refreshText();
}

ITextSpinButton& ITextSpinButton::addAsFirst(const char* text)
{
    auto& texts = fTextSpinButtonData->texts;
    texts.insert(texts.begin(), text ? text : "");
    changed();
    return refreshText();
}

ITextSpinButton& ITextSpinButton::addAsLast(const char* text)
{
    return addAsLast(&text, 1);
}

ITextSpinButton& ITextSpinButton::addAsLast(const char* const* texts, unsigned long count)
{
    for (unsigned long i = 0; i < count; ++i)
        fTextSpinButtonData->texts.emplace_back(texts[i] ? texts[i] : "");
    changed();
    return refreshText();
}

ITextSpinButton& ITextSpinButton::removeAt(Cursor& cursor)
{
    IARGUMENT_CHECK(cursor.isValid(), kFile, "ITextSpinButton::removeAt(ITextSpinButton::Cursor&)");
    auto& texts = fTextSpinButtonData->texts;
    texts.erase(texts.begin() + static_cast<long>(cursor.index()));
    changed();
    // The cursor then names the text that followed; past the end it stays invalid.
    if (cursor.fPosition <= fTextSpinButtonData->textCount)
        cursor.fGeneration = fTextSpinButtonData->generation;
    return refreshText();
}

ITextSpinButton& ITextSpinButton::replaceAt(const char* text, Cursor& cursor)
{
    IARGUMENT_CHECK(cursor.isValid(), kFile,
                    "ITextSpinButton::replaceAt(const char*,ITextSpinButton::Cursor&)");
    fTextSpinButtonData->texts[cursor.index()] = text ? text : "";
    return refreshText();
}

ITextSpinButton& ITextSpinButton::removeAll()
{
    if (usesThunkedWindow()) {
        const char* const empty[] = {""};
        if (handle().sendEvent(IOutsideMessage::spinSetArray, IEventData(static_cast<const void*>(empty)), 1)
                .asUnsignedLong() == 0)
            IThrow::systemError("SPBM_SETARRAY", GetLastError(),
                                IEXCEPTION_LOCATION(kFile, "ITextSpinButton::removeAll()"));
    } else {
        const HWND upDown = servingUpDown();
        if (upDown) {
            SendMessageA(upDown, UDM_SETRANGE, 0, 0);
            SendMessageA(upDown, UDM_SETPOS, 0, 0);
        }
        setSlot(handle(), rangeSlot, 0);
        handle().sendEvent(0xFFDF, 4, IEventData(static_cast<const void*>(upDown)));
        refresh(paintAll);
    }
    fTextSpinButtonData->texts.clear();
    fTextSpinButtonData->pointers.clear();
    changed();
    return *this;
}

// Gives the texts to the window; the position stays where it was while the texts reach it.
ITextSpinButton& ITextSpinButton::refreshText()
{
    ITextSpinButtonData& data = *fTextSpinButtonData;
    if (data.texts.empty())
        return removeAll();
    data.pointers.clear();
    for (const std::string& text : data.texts)
        data.pointers.push_back(text.c_str());
    const unsigned long count = data.textCount;
    if (usesThunkedWindow()) {
        if (handle().sendEvent(IOutsideMessage::spinSetArray,
                               IEventData(static_cast<const void*>(data.pointers.data())), count)
                .asUnsignedLong() == 0)
            IThrow::message(OVK_MSG_OPERATION_NOT_SUPPORTED,
                            IEXCEPTION_LOCATION(kFile, "ITextSpinButton::refreshText()"));
        return *this;
    }
    long position = nativePosition();
    if (count > kMostNativeTexts)
        IThrow::message(OVK_MSG_INDEX_OUT_OF_RANGE,
                        IEXCEPTION_LOCATION(kFile, "ITextSpinButton::refreshText()"));
    const long upper = static_cast<long>(count) - 1;
    const HWND upDown = servingUpDown();
    if (upDown)
        SendMessageA(upDown, UDM_SETRANGE, 0, MAKELPARAM(upper, 0));
    setSlot(handle(), rangeSlot, packRange(0, upper));
    if (position > upper || position < 0) {
        position = std::max(0L, std::min(position, upper));
        if (upDown)
            SendMessageA(upDown, UDM_SETPOS, 0, MAKELPARAM(position, 0));
    }
    showPosition(position);
    refresh(paintAll);
    return *this;
}

// Spinning ---------------------------------------------------------------------------------------

unsigned long ITextSpinButton::index() const
{
    if (usesThunkedWindow()) {
        std::int32_t index = 0;
        handle().sendEvent(IOutsideMessage::spinQueryValue, IEventData(static_cast<void*>(&index)), 0x30000);
        return static_cast<unsigned long>(index);
    }
    return static_cast<unsigned long>(nativePosition());
}

IString ITextSpinButton::value() const
{
    const unsigned long shown = index();
    return shown < numberOfElements() ? elementAt(shown) : IString();
}

ITextSpinButton& ITextSpinButton::spinTo(const char* text, IBase::Boolean caseSensitive)
{
    const auto& texts = fTextSpinButtonData->texts;
    const std::string wanted = caseSensitive ? std::string(text ? text : "") : folded(text);
    for (size_t index = 0; index < texts.size(); ++index) {
        if ((caseSensitive ? texts[index] : folded(texts[index].c_str())) != wanted)
            continue;
        if (usesThunkedWindow()) {
            if (handle().sendEvent(IOutsideMessage::spinSetValue, index, 0).asUnsignedLong() == 0)
                IThrow::systemError("SPBM_SETCURRENTVALUE", GetLastError(),
                                    IEXCEPTION_LOCATION(kFile, "ITextSpinButton::spinTo(const char*,IBase::Boolean)"));
        } else {
            showPosition(static_cast<long>(index));
        }
        return *this;
    }
    IThrow::message(OVK_MSG_TEXT_NOT_IN_LIST,
                    IEXCEPTION_LOCATION(kFile, "ITextSpinButton::spinTo(const char*,IBase::Boolean)"));
}

ITextSpinButton& ITextSpinButton::spinTo(const Cursor& cursor)
{
    IARGUMENT_CHECK(cursor.isValid(), kFile, "ITextSpinButton::spinTo(const ITextSpinButton::Cursor&)");
    if (usesThunkedWindow()) {
        if (handle().sendEvent(IOutsideMessage::spinSetValue, cursor.index(), 0).asUnsignedLong() == 0)
            IThrow::systemError("SPBM_SETCURRENTVALUE", GetLastError(),
                                IEXCEPTION_LOCATION(kFile, "ITextSpinButton::spinTo(const ITextSpinButton::Cursor&)"));
        return *this;
    }
    showPosition(static_cast<long>(cursor.index()));
    return *this;
}

// Cursor -----------------------------------------------------------------------------------------

ITextSpinButton::Cursor::Cursor(const ITextSpinButton& spinButton) : fSpinButton(&spinButton) {}
ITextSpinButton::Cursor::~Cursor() = default;

IBase::Boolean ITextSpinButton::Cursor::isValid() const
{
    return fPosition > 0 && fGeneration == fSpinButton->fTextSpinButtonData->generation;
}

void ITextSpinButton::Cursor::invalidate()
{
    fPosition = 0;
}

IBase::Boolean ITextSpinButton::Cursor::setToFirst()
{
    const ITextSpinButtonData& data = *fSpinButton->fTextSpinButtonData;
    fGeneration = data.generation;
    fPosition = data.textCount ? 1 : 0;
    return isValid();
}

IBase::Boolean ITextSpinButton::Cursor::setToLast()
{
    const ITextSpinButtonData& data = *fSpinButton->fTextSpinButtonData;
    fGeneration = data.generation;
    fPosition = data.textCount;
    return isValid();
}

IBase::Boolean ITextSpinButton::Cursor::setToNext()
{
    if (!isValid())
        return setToFirst();
    if (fPosition < fSpinButton->fTextSpinButtonData->textCount)
        ++fPosition;
    else
        fPosition = 0;
    return isValid();
}

IBase::Boolean ITextSpinButton::Cursor::setToPrevious()
{
    if (!isValid())
        return setToLast();
    --fPosition;
    return isValid();
}
