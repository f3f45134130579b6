// IContainerColumn: the column descriptor, its heading and data styles, and its data.
#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <cstring>
#include <ctime>

#include "icnrcol.hpp"

#include <iapp.hpp>
#include <iassert.hpp>
#include <ireslib.hpp>

#include "detail/icnrdata.hpp"
#include "icnrobj.hpp"

namespace {

constexpr const char* kFile = "icnrcol";
// Offsets of the record's own fields are kept as the offset minus this while the column belongs
// to no container, so that they cannot be taken for offsets into the object.
constexpr std::uint32_t kRecordFieldBias = 256;
constexpr std::uint32_t kHorizontalAlignments = CFA_LEFT | CFA_RIGHT | CFA_CENTER;
constexpr std::uint32_t kVerticalAlignments = 0x08 | 0x10 | 0x20;
constexpr std::uint32_t kVerticalSeparator = 0x200;
constexpr std::uint32_t kHorizontalSeparator = 0x400;
constexpr std::uint32_t kHeadingReadOnly = 0x10000;
constexpr std::uint32_t kWidthQuery = 0x200;

using Heading = IContainerColumn::HeadingStyle;
using Data = IContainerColumn::DataStyle;

Heading& defaultHeading()
{
    static Heading style(0x10811);
    return style;
}

Data& defaultData()
{
    static Data style(0x8811);
    return style;
}

std::uint32_t horizontalBits(unsigned long alignment)
{
    return alignment == IContainerColumn::right      ? CFA_RIGHT
           : alignment == IContainerColumn::centered ? CFA_CENTER
                                                     : CFA_LEFT;
}

std::uint32_t verticalBits(unsigned long alignment)
{
    return alignment == IContainerColumn::top      ? 0x08u
           : alignment == IContainerColumn::bottom ? 0x20u
                                                   : 0x10u;
}

IContainerColumn::HorizontalAlignment horizontalOf(std::uint32_t word)
{
    return (word & CFA_RIGHT)    ? IContainerColumn::right
           : (word & CFA_CENTER) ? IContainerColumn::centered
                                 : IContainerColumn::left;
}

IContainerColumn::VerticalAlignment verticalOf(std::uint32_t word)
{
    return (word & 0x08)   ? IContainerColumn::top
           : (word & 0x20) ? IContainerColumn::bottom
                           : IContainerColumn::verticallyCentered;
}

void setBits(std::uint32_t& word, std::uint32_t bits, bool on)
{
    word = on ? (word | bits) : (word & ~bits);
}

} // namespace

const Heading Heading::left(CFA_LEFT);
const Heading Heading::right(CFA_RIGHT);
const Heading Heading::centered(CFA_CENTER);
const Heading Heading::top(0x08);
const Heading Heading::verticallyCentered(0x10);
const Heading Heading::bottom(0x20);
const Heading Heading::icon(CFA_BITMAPORICON);
const Heading Heading::string(CFA_STRING);
const Heading Heading::verticalSeparator(kVerticalSeparator);
const Heading Heading::horizontalSeparator(kHorizontalSeparator);
const Heading Heading::readOnly(kHeadingReadOnly);

const Data Data::left(CFA_LEFT);
const Data Data::right(CFA_RIGHT);
const Data Data::centered(CFA_CENTER);
const Data Data::top(0x08);
const Data Data::verticallyCentered(0x10);
const Data Data::bottom(0x20);
const Data Data::invisible(CFA_INVISIBLE);
const Data Data::icon(CFA_BITMAPORICON);
const Data Data::string(CFA_STRING);
const Data Data::date(CFA_DATE);
const Data Data::time(CFA_TIME);
const Data Data::number(CFA_ULONG);
const Data Data::verticalSeparator(kVerticalSeparator);
const Data Data::horizontalSeparator(kHorizontalSeparator);
const Data Data::readOnly(CFA_FIREADONLY);

// Construction -------------------------------------------------------------------------------------

IContainerColumn::IContainerColumn(unsigned long dataOffset, const HeadingStyle& heading,
                                   const DataStyle& data)
{
    allocate();
    fill(dataOffset, heading, data);
}

IContainerColumn::IContainerColumn(DataSource source, const HeadingStyle& heading,
                                   const DataStyle& data)
{
    allocate();
    const bool isIcon = source == DataSource::icon;
    const std::size_t field =
        isIcon ? offsetof(MINIRECORDCORE, hptrIcon) : offsetof(MINIRECORDCORE, pszIcon);
    fill(static_cast<std::uint32_t>(field) - kRecordFieldBias, heading, data);
    setBits(fFieldInfo->flData, CFA_BITMAPORICON, isIcon);
    setBits(fFieldInfo->flData, CFA_STRING, !isIcon);
}

IContainerColumn::IContainerColumn(const IContainerColumn& other) : IVBase(other)
{
    allocate();
    FIELDINFO* const link = fFieldInfo->pNextFieldInfo;
    *fFieldInfo = *other.fFieldInfo;
    fFieldInfo->pNextFieldInfo = link;
    if (other.fHeadingText) {
        fHeadingText = new char[std::strlen(other.fHeadingText) + 1];
        std::strcpy(fHeadingText, other.fHeadingText);
        if (fFieldInfo->pTitleData == other.fHeadingText)
            fFieldInfo->pTitleData = fHeadingText;
    }
    fFieldInfo->pUserData = this;
    fHelpId = other.fHelpId;
    // The copy belongs to no container: an attached original's offset counts from the record.
    if (other.fContainer)
        convertOffsetOut(other.fContainer->recordHeaderSize());
}

IContainerColumn::~IContainerColumn()
{
    const char* const function = "IContainerColumn::~IContainerColumn()";
    try {
        freeHeadingText();
        // Through the container, so that its column cursors and its remembered split let go
        // of the column too.
        if (fContainer && fContainer->isValid())
            fContainer->removeColumn(this);
        FIELDINFO* fields[1] = {fFieldInfo};
        ICnrCtl::allocationWindow().sendEvent(CM_FREEDETAILFIELDINFO, fields, 1);
    } catch (const IException& failure) {
        IAssertion::report(failure);
    } catch (...) {
        IAssertion::report("unexpected exception", IExceptionLocation(kFile, function));
    }
}

void IContainerColumn::allocate()
{
    const IEventData result = ICnrCtl::allocationWindow().sendEvent(CM_ALLOCDETAILFIELDINFO, 1, 0);
    fFieldInfo = static_cast<FIELDINFO*>(result.asPointer());
    if (!fFieldInfo) {
        IThrow::systemError("CM_ALLOCDETAILFIELDINFO", GetLastError(),
                            IEXCEPTION_LOCATION(kFile, "IContainerColumn::allocate()"));
    }
}

void IContainerColumn::fill(unsigned long offset, const HeadingStyle& heading,
                            const DataStyle& data)
{
    fFieldInfo->cb = sizeof(FIELDINFO);
    fFieldInfo->flData = data.asUnsignedLong();
    fFieldInfo->flTitle = heading.asUnsignedLong();
    fFieldInfo->pTitleData = nullptr;
    fFieldInfo->offStruct = static_cast<std::uint32_t>(offset);
    fFieldInfo->pUserData = this;
    fFieldInfo->pNextFieldInfo = nullptr;
    fFieldInfo->cxWidth = 0;
}

// Only the text the column made is freed: the heading data may be an icon's handle whatever
// the style word says, since setHeadingAttributes replaces the word as it is given.
void IContainerColumn::freeHeadingText() noexcept
{
    if (fFieldInfo->pTitleData == fHeadingText)
        fFieldInfo->pTitleData = nullptr;
    delete[] fHeadingText;
    fHeadingText = nullptr;
}

char* IContainerColumn::headingTextBuffer(unsigned long bytes)
{
    freeHeadingText();
    fHeadingText = new char[bytes ? bytes : 1]();
    fFieldInfo->pTitleData = fHeadingText;
    setBits(fFieldInfo->flTitle, CFA_BITMAPORICON, false);
    setBits(fFieldInfo->flTitle, CFA_STRING, true);
    return fHeadingText;
}

IContainerColumn* IContainerColumn::columnOf(const FIELDINFO* fieldInfo) noexcept
{
    return fieldInfo ? static_cast<IContainerColumn*>(fieldInfo->pUserData) : nullptr;
}

// The record's own fields lie below the header's size, object offsets at and above it.
void IContainerColumn::convertOffsetIn(unsigned long headerSize) noexcept
{
    std::uint32_t& offset = fFieldInfo->offStruct;
    if (offset >= std::uint32_t(0) - kRecordFieldBias)
        offset += kRecordFieldBias;
    else
        offset += static_cast<std::uint32_t>(headerSize);
}

void IContainerColumn::convertOffsetOut(unsigned long headerSize) noexcept
{
    std::uint32_t& offset = fFieldInfo->offStruct;
    if (offset >= headerSize)
        offset -= static_cast<std::uint32_t>(headerSize);
    else
        offset -= kRecordFieldBias;
}

// Queries ---------------------------------------------------------------------------------------------

unsigned long IContainerColumn::dataAttributes() const { return fFieldInfo->flData; }
unsigned long IContainerColumn::headingAttributes() const { return fFieldInfo->flTitle; }
IBase::Boolean IContainerColumn::isIcon() const { return (fFieldInfo->flData & CFA_BITMAPORICON) != 0; }
IBase::Boolean IContainerColumn::isString() const { return (fFieldInfo->flData & CFA_STRING) != 0; }
IBase::Boolean IContainerColumn::isDate() const { return (fFieldInfo->flData & CFA_DATE) != 0; }
IBase::Boolean IContainerColumn::isTime() const { return (fFieldInfo->flData & CFA_TIME) != 0; }
IBase::Boolean IContainerColumn::isNumber() const { return (fFieldInfo->flData & CFA_ULONG) != 0; }
IBase::Boolean IContainerColumn::isHeadingIcon() const { return (fFieldInfo->flTitle & CFA_BITMAPORICON) != 0; }
IBase::Boolean IContainerColumn::isHeadingString() const { return (fFieldInfo->flTitle & CFA_STRING) != 0; }
IBase::Boolean IContainerColumn::isVisible() const { return !(fFieldInfo->flData & CFA_INVISIBLE); }
IBase::Boolean IContainerColumn::isWriteable() const { return !(fFieldInfo->flData & CFA_FIREADONLY); }
IBase::Boolean IContainerColumn::isHeadingWriteable() const { return !(fFieldInfo->flTitle & kHeadingReadOnly); }
IBase::Boolean IContainerColumn::hasVerticalSeparator() const { return (fFieldInfo->flData & kVerticalSeparator) != 0; }
IBase::Boolean IContainerColumn::hasHorizontalSeparator() const { return (fFieldInfo->flData & kHorizontalSeparator) != 0; }

IContainerColumn::HorizontalAlignment IContainerColumn::horizontalDataAlignment() const
{
    return horizontalOf(fFieldInfo->flData);
}

IContainerColumn::HorizontalAlignment IContainerColumn::horizontalHeadingAlignment() const
{
    return horizontalOf(fFieldInfo->flTitle);
}

IContainerColumn::VerticalAlignment IContainerColumn::verticalDataAlignment() const
{
    return verticalOf(fFieldInfo->flData);
}

IContainerColumn::VerticalAlignment IContainerColumn::verticalHeadingAlignment() const
{
    return verticalOf(fFieldInfo->flTitle);
}

IString IContainerColumn::headingText() const
{
    if (!(fFieldInfo->flTitle & CFA_STRING) || !fHeadingText)
        return IString();
    return IString(fHeadingText);
}

IPointerHandle IContainerColumn::headingIcon() const { return fHeadingIcon; }
unsigned long IContainerColumn::helpId() const { return fHelpId; }
unsigned long IContainerColumn::dataOffset() const { return fFieldInfo->offStruct; }

unsigned long IContainerColumn::displayWidth() const
{
    if (fFieldInfo->cxWidth || !fContainer)
        return fFieldInfo->cxWidth;
    return fContainer->sendEvent(CM_QUERYDETAILFIELDINFO, fFieldInfo, kWidthQuery).asUnsignedLong();
}

// Setters ---------------------------------------------------------------------------------------------

// The list column of a native container follows each change at once: the container's own
// repaint of the column leaves the list's header as it was. Called before that repaint, which
// gives the column back what the list column loses here (a hidden column's width 0, an icon
// heading's owner drawing).
void IContainerColumn::updateNative(unsigned mask) const
{
    ICnrControlData* data = fContainer ? fContainer->controlData() : nullptr;
    if (!data || data->isMessageDriven() || !data->listControl())
        return;
    const IColumnSet::Entry* entry = data->columns().find(fFieldInfo);
    if (!entry || entry->column < 0)
        return;
    LVCOLUMNA column{};
    column.mask = mask;
    const bool textHeading = (fFieldInfo->flTitle & CFA_STRING) && fHeadingText;
    column.pszText = textHeading ? fHeadingText : const_cast<char*>("");
    column.cx = fFieldInfo->cxWidth ? fFieldInfo->cxWidth : 100;
    const std::uint32_t word = fFieldInfo->flData;
    column.fmt = (word & CFA_CENTER) ? LVCFMT_CENTER : (word & CFA_RIGHT) ? LVCFMT_RIGHT : LVCFMT_LEFT;
    SendMessageA(data->listControl(), LVM_SETCOLUMNA, static_cast<WPARAM>(entry->column),
                 reinterpret_cast<LPARAM>(&column));
}

IContainerColumn& IContainerColumn::setHeadingText(const char* text)
{
    freeHeadingText();
    const char* from = text ? text : "";
    fHeadingText = new char[std::strlen(from) + 1];
    std::strcpy(fHeadingText, from);
    fFieldInfo->pTitleData = fHeadingText;
    setBits(fFieldInfo->flTitle, CFA_BITMAPORICON, false);
    setBits(fFieldInfo->flTitle, CFA_STRING, true);
    updateNative(LVCF_TEXT);
    invalidate();
    return *this;
}

IContainerColumn& IContainerColumn::setHeadingText(const IResourceId& textId)
{
    const IString text = textId.resourceLibrary().loadString(textId.id());
    return setHeadingText(static_cast<const char*>(text));
}

IContainerColumn& IContainerColumn::setHeadingIcon(const IPointerHandle& icon)
{
    fHeadingIcon = icon;
    freeHeadingText();
    setBits(fFieldInfo->flTitle, CFA_STRING, false);
    setBits(fFieldInfo->flTitle, CFA_BITMAPORICON, true);
    fFieldInfo->pTitleData = icon.asValue();
    updateNative(LVCF_TEXT);
    invalidate();
    return *this;
}

IContainerColumn& IContainerColumn::setHeadingIcon(const IResourceId& iconId)
{
    return setHeadingIcon(iconId.resourceLibrary().loadIcon(iconId.id()));
}

IContainerColumn& IContainerColumn::setHeadingIcon(unsigned long iconId)
{
    return setHeadingIcon(IApplication::current().userResourceLibrary().loadIcon(iconId));
}

IContainerColumn& IContainerColumn::setDataAttributes(unsigned long attributes)
{
    fFieldInfo->flData = static_cast<std::uint32_t>(attributes);
    updateNative(LVCF_FMT);
    invalidate();
    return *this;
}

IContainerColumn& IContainerColumn::setHeadingAttributes(unsigned long attributes)
{
    // The heading data follows the word: under the text bit only a text the column made (or
    // none), so that an icon's handle is never read as a text; under the icon bit alone the
    // icon again, when the column holds one.
    if (attributes & CFA_STRING) {
        fFieldInfo->pTitleData = fHeadingText;
    } else {
        freeHeadingText();
        if ((attributes & CFA_BITMAPORICON) && fHeadingIcon.isValid())
            fFieldInfo->pTitleData = fHeadingIcon.asValue();
    }
    fFieldInfo->flTitle = static_cast<std::uint32_t>(attributes);
    updateNative(LVCF_TEXT);
    invalidate();
    return *this;
}

IContainerColumn& IContainerColumn::setDisplayWidth(unsigned long width)
{
    fFieldInfo->cxWidth = static_cast<std::uint16_t>(width);
    updateNative(LVCF_WIDTH);
    invalidate();
    return *this;
}

IContainerColumn& IContainerColumn::setDataAlignment(VerticalAlignment vertical,
                                                     HorizontalAlignment horizontal)
{
    fFieldInfo->flData = (fFieldInfo->flData & ~(kHorizontalAlignments | kVerticalAlignments)) |
                         verticalBits(vertical) | horizontalBits(horizontal);
    updateNative(LVCF_FMT);
    invalidate();
    return *this;
}

IContainerColumn& IContainerColumn::setHeadingAlignment(VerticalAlignment vertical,
                                                        HorizontalAlignment horizontal)
{
    fFieldInfo->flTitle = (fFieldInfo->flTitle & ~(kHorizontalAlignments | kVerticalAlignments)) |
                          verticalBits(vertical) | horizontalBits(horizontal);
    return invalidate();
}

IContainerColumn& IContainerColumn::setSeparators(unsigned long separators)
{
    fFieldInfo->flData &= ~(kVerticalSeparator | kHorizontalSeparator);
    setBits(fFieldInfo->flData, kVerticalSeparator, (separators & verticalSeparator) != 0);
    setBits(fFieldInfo->flData, kHorizontalSeparator, (separators & horizontalSeparator) != 0);
    return invalidate();
}

IContainerColumn& IContainerColumn::removeSeparators(unsigned long separators)
{
    if (separators & verticalSeparator)
        fFieldInfo->flData &= ~kVerticalSeparator;
    if (separators & horizontalSeparator)
        fFieldInfo->flData &= ~kHorizontalSeparator;
    return invalidate();
}

IContainerColumn& IContainerColumn::show(IBase::Boolean visible)
{
    setBits(fFieldInfo->flData, CFA_INVISIBLE, !visible);
    return invalidate();
}

IContainerColumn& IContainerColumn::hide() { return show(false); }

IContainerColumn& IContainerColumn::enableDataUpdate(IBase::Boolean enable)
{
    setBits(fFieldInfo->flData, CFA_FIREADONLY, !enable);
    return invalidate();
}

IContainerColumn& IContainerColumn::disableDataUpdate() { return enableDataUpdate(false); }

IContainerColumn& IContainerColumn::enableHeadingUpdate(IBase::Boolean enable)
{
    setBits(fFieldInfo->flTitle, kHeadingReadOnly, !enable);
    return invalidate();
}

IContainerColumn& IContainerColumn::disableHeadingUpdate() { return enableHeadingUpdate(false); }

IContainerColumn& IContainerColumn::setDataOffset(unsigned long offset)
{
    fFieldInfo->offStruct = static_cast<std::uint32_t>(offset);
    return invalidate();
}

IContainerColumn& IContainerColumn::setHelpId(unsigned long helpId)
{
    fHelpId = helpId;
    return *this;
}

IContainerColumn& IContainerColumn::invalidate()
{
    if (fContainer && !fContainer->sendEvent(CM_INVALIDATEDETAILFIELDINFO, 0, 0).asUnsignedLong()) {
        IThrow::systemError("CM_INVALIDATEDETAILFIELDINFO", GetLastError(),
                            IEXCEPTION_LOCATION(kFile, "IContainerColumn::invalidate()"));
    }
    return *this;
}

// Data ----------------------------------------------------------------------------------------------------

const unsigned char* IContainerColumn::dataOf(const ICnrObj* object, const char* function) const
{
    if (!fContainer->containsObject(object))
        IThrow::state("container()->containsObject(object)", IEXCEPTION_LOCATION(kFile, function));
    return reinterpret_cast<const unsigned char*>(ICnrObj::recordOf(object)) + fFieldInfo->offStruct;
}

IString IContainerColumn::dataAsString(const ICnrObj* object) const
{
    const char* const function = "IContainerColumn::dataAsString(const ICnrObj*) const";
    if (!(fContainer != 0 && object != 0 && (dataAttributes() & CFA_STRING)))
        IThrow::argument("container() != 0 && object !=0 && (dataAttributes() & string)",
                         IEXCEPTION_LOCATION(kFile, function));
    const char* text = nullptr;
    std::memcpy(&text, dataOf(object, function), sizeof text);
    return IString(text);
}

unsigned long IContainerColumn::dataAsNumber(const ICnrObj* object) const
{
    const char* const function = "IContainerColumn::dataAsNumber(const ICnrObj*) const";
    if (!(fContainer != 0 && object != 0))
        IThrow::argument("container() != 0 && object !=0", IEXCEPTION_LOCATION(kFile, function));
    std::uint32_t value = 0;
    std::memcpy(&value, dataOf(object, function), sizeof value);
    return value;
}

IPointerHandle IContainerColumn::dataAsIcon(const ICnrObj* object) const
{
    const char* const function = "IContainerColumn::dataAsIcon(const ICnrObj*) const";
    if (!(fContainer != 0 && object != 0 && (dataAttributes() & CFA_BITMAPORICON)))
        IThrow::argument("container() != 0 && object !=0 && (dataAttributes() & icon)",
                         IEXCEPTION_LOCATION(kFile, function));
    HICON icon = nullptr;
    std::memcpy(&icon, dataOf(object, function), sizeof icon);
    return IPointerHandle(icon);
}

ITime IContainerColumn::dataAsTime(const ICnrObj* object) const
{
    const char* const function = "IContainerColumn::dataAsTime(const ICnrObj*) const";
    if (!(fContainer != 0 && object != 0 && (dataAttributes() & CFA_TIME)))
        IThrow::argument("container() != 0 && object !=0 && (dataAttributes() & time)",
                         IEXCEPTION_LOCATION(kFile, function));
    const unsigned char* bytes = dataOf(object, function);
    return ITime((bytes[0] * 60UL + bytes[1]) * 60UL + bytes[2]);
}

IDate IContainerColumn::dataAsDate(const ICnrObj* object) const
{
    const char* const function = "IContainerColumn::dataAsDate(const ICnrObj*) const";
    if (!(fContainer != 0 && object != 0 && (dataAttributes() & CFA_DATE)))
        IThrow::argument("container() != 0 && object !=0 && (dataAttributes() & date)",
                         IEXCEPTION_LOCATION(kFile, function));
    const unsigned char* bytes = dataOf(object, function);
    std::uint16_t year = 0;
    std::memcpy(&year, bytes + 2, sizeof year);
    if (bytes[1] >= 1 && bytes[1] <= 12)
        return IDate(bytes[0], bytes[1], year);
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    return local ? IDate(static_cast<unsigned>(local->tm_mday),
                         static_cast<unsigned>(local->tm_mon + 1),
                         static_cast<unsigned>(local->tm_year + 1900))
                 : IDate();
}

// Class-wide defaults ---------------------------------------------------------------------------------

IContainerColumn::HeadingStyle IContainerColumn::defaultHeadingStyle() { return defaultHeading(); }
IContainerColumn::DataStyle IContainerColumn::defaultDataStyle() { return defaultData(); }
void IContainerColumn::setDefaultHeadingStyle(const HeadingStyle& style) { defaultHeading() = style; }
void IContainerColumn::setDefaultDataStyle(const DataStyle& style) { defaultData() = style; }
