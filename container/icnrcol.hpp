// IContainerColumn: one details-view column of a container, and the column cursor.
#pragma once

#include <cstdint>

#include <ibitflag.hpp>
#include <idate.hpp>
#include <istring.hpp>
#include <itime.hpp>
#include <ivbase.hpp>

#include <idefs.hpp>
#include <iptrhdl.hpp>

#include "icnrctl.hpp"
#include "icnrmsg.hpp"

class ICnrObj;
class IResourceId;

// A column wraps one column descriptor (FIELDINFO), allocated through the thread's allocation
// window and freed there by the destructor. Its data lies in each object's record at the
// column's offset. While the column belongs to no container the offset counts from the object
// (0 and up) or, for the record's own icon and icon text, is the record offset minus 256; adding
// the column to a container turns it into an offset from the start of the record, and removing
// it turns it back.
// The field at the offset is, by the data style: string a char* to a zero-ended text that the
// object keeps alive, number a std::uint32_t, icon an HICON, date a CNR_DATE and time a CNR_TIME
// (icnrfmt.hpp). Give the offset as offsetof(YourObject, field) with ICnrObj the first base (GCC
// warns for a class with virtual functions: -Wno-invalid-offsetof), or as the bytes from the
// object's ICnrObj part to the field. The default data style is read-only (see editObject).
class OVKWIN_API IContainerColumn : public IVBase {
public:
    class OVKWIN_API HeadingStyle : public IBitFlagSet<HeadingStyle> {
    public:
        constexpr HeadingStyle(Word value, Word extendedValue = 0)
            : IBitFlagSet(value, extendedValue) {}
        static const HeadingStyle left, right, centered;
        static const HeadingStyle top, verticallyCentered, bottom;
        static const HeadingStyle icon, string, verticalSeparator, horizontalSeparator, readOnly;
    };
    class OVKWIN_API DataStyle : public IBitFlagSet<DataStyle> {
    public:
        constexpr DataStyle(Word value, Word extendedValue = 0) : IBitFlagSet(value, extendedValue) {}
        static const DataStyle left, right, centered;
        static const DataStyle top, verticallyCentered, bottom;
        static const DataStyle invisible, icon, string, date, time, number;
        static const DataStyle verticalSeparator, horizontalSeparator, readOnly;
    };
    // The record's own fields that a column can show.
    enum class DataSource { icon, iconText };
    enum HorizontalAlignment : unsigned long { left = 0, right = 1, centered = 2 };
    enum VerticalAlignment : unsigned long { top = 0, bottom = 1, verticallyCentered = 2 };
    // The separators of setSeparators and removeSeparators.
    enum Separator : unsigned long { verticalSeparator = 0x2, horizontalSeparator = 0x4 };

    explicit IContainerColumn(unsigned long dataOffset,
                              const HeadingStyle& heading = defaultHeadingStyle(),
                              const DataStyle& data = defaultDataStyle());
    explicit IContainerColumn(DataSource source, const HeadingStyle& heading = defaultHeadingStyle(),
                              const DataStyle& data = defaultDataStyle());
    // A copy with a descriptor and heading text of its own, in no container.
    IContainerColumn(const IContainerColumn& other);
    IContainerColumn& operator=(const IContainerColumn&) = delete;
    ~IContainerColumn() override;

    ICnrCtl* container() const noexcept { return fContainer; }
    FIELDINFO* fieldInfo() const noexcept { return fFieldInfo; }

    // Queries.
    virtual unsigned long dataAttributes() const;
    virtual unsigned long headingAttributes() const;
    virtual IBase::Boolean isIcon() const;
    virtual IBase::Boolean isString() const;
    virtual IBase::Boolean isDate() const;
    virtual IBase::Boolean isTime() const;
    virtual IBase::Boolean isNumber() const;
    virtual IBase::Boolean isHeadingIcon() const;
    virtual IBase::Boolean isHeadingString() const;
    virtual IBase::Boolean isVisible() const;
    virtual IBase::Boolean isWriteable() const;
    virtual IBase::Boolean isHeadingWriteable() const;
    virtual IBase::Boolean hasVerticalSeparator() const;
    virtual IBase::Boolean hasHorizontalSeparator() const;
    virtual HorizontalAlignment horizontalDataAlignment() const;
    virtual HorizontalAlignment horizontalHeadingAlignment() const;
    virtual VerticalAlignment verticalDataAlignment() const;
    virtual VerticalAlignment verticalHeadingAlignment() const;
    // Empty when the heading is not a text.
    virtual IString headingText() const;
    virtual IPointerHandle headingIcon() const;
    virtual unsigned long helpId() const;
    virtual unsigned long dataOffset() const;
    // The fixed width, or the container's width of the data when none is set.
    virtual unsigned long displayWidth() const;

    // Setters: each repaints the column in its container, and a native container's list
    // column follows at once.
    virtual IContainerColumn& setHeadingText(const char* text);
    virtual IContainerColumn& setHeadingText(const IResourceId& textId);
    virtual IContainerColumn& setHeadingIcon(const IPointerHandle& icon);
    virtual IContainerColumn& setHeadingIcon(const IResourceId& iconId);
    // An icon of the application's user resource library.
    virtual IContainerColumn& setHeadingIcon(unsigned long iconId);
    virtual IContainerColumn& setDataAttributes(unsigned long attributes);
    virtual IContainerColumn& setHeadingAttributes(unsigned long attributes);
    virtual IContainerColumn& setDisplayWidth(unsigned long width);
    virtual IContainerColumn& setDataAlignment(VerticalAlignment vertical,
                                               HorizontalAlignment horizontal);
    virtual IContainerColumn& setHeadingAlignment(VerticalAlignment vertical,
                                                  HorizontalAlignment horizontal);
    virtual IContainerColumn& setSeparators(unsigned long separators = verticalSeparator |
                                                                       horizontalSeparator);
    virtual IContainerColumn& removeSeparators(unsigned long separators = verticalSeparator |
                                                                          horizontalSeparator);
    virtual IContainerColumn& show(IBase::Boolean visible = true);
    virtual IContainerColumn& hide();
    virtual IContainerColumn& enableDataUpdate(IBase::Boolean enable = true);
    virtual IContainerColumn& disableDataUpdate();
    virtual IContainerColumn& enableHeadingUpdate(IBase::Boolean enable = true);
    virtual IContainerColumn& disableHeadingUpdate();
    virtual IContainerColumn& setDataOffset(unsigned long offset);
    virtual IContainerColumn& setHelpId(unsigned long helpId);
    // CM_INVALIDATEDETAILFIELDINFO when in a container ("CM_INVALIDATEDETAILFIELDINFO").
    virtual IContainerColumn& invalidate();

    // The object's value in this column: at the object's record plus the column's offset.
    virtual IString dataAsString(const ICnrObj* object) const;
    virtual unsigned long dataAsNumber(const ICnrObj* object) const;
    virtual IPointerHandle dataAsIcon(const ICnrObj* object) const;
    virtual ITime dataAsTime(const ICnrObj* object) const;
    // A stored month outside 1 to 12 gives today.
    virtual IDate dataAsDate(const ICnrObj* object) const;

    static HeadingStyle defaultHeadingStyle();
    static DataStyle defaultDataStyle();
    static void setDefaultHeadingStyle(const HeadingStyle& style);
    static void setDefaultDataStyle(const DataStyle& style);

    // Used by the container as the column joins and leaves it.
    void attachTo(ICnrCtl* container) noexcept { fContainer = container; }
    // The offset as the container reads it, and back as the column keeps it alone.
    void convertOffsetIn(unsigned long headerSize) noexcept;
    void convertOffsetOut(unsigned long headerSize) noexcept;
    static IContainerColumn* columnOf(const FIELDINFO* fieldInfo) noexcept;
    // A zeroed heading text of `bytes` bytes that the column makes, owns and shows, for an edit
    // of the heading that the container then copies the new text into.
    char* headingTextBuffer(unsigned long bytes);

private:
    void allocate();
    void fill(unsigned long offset, const HeadingStyle& heading, const DataStyle& data);
    void freeHeadingText() noexcept;
    // The bytes at the object's record plus the offset, after the checks.
    const unsigned char* dataOf(const ICnrObj* object, const char* function) const;
    void updateNative(unsigned mask) const;

    FIELDINFO* fFieldInfo = nullptr;
    ICnrCtl* fContainer = nullptr;
    // The heading text the column made (new[]), which the descriptor's heading data points at
    // while the heading is a text.
    char* fHeadingText = nullptr;
    IPointerHandle fHeadingIcon;
    unsigned long fHelpId = 0;
};

// Walks a container's columns in their order, all of them or only those shown. A cursor is
// valid only while the container's column change count equals the one it took when it was last
// positioned: adding or removing a column invalidates every column cursor of the container.
class OVKWIN_API ICnrCtl::ColumnCursor : public IVBase {
public:
    explicit ColumnCursor(const ICnrCtl& container, IBase::Boolean visibleOnly = false);
    ~ColumnCursor() override;

    virtual IBase::Boolean setToFirst();
    virtual IBase::Boolean setToNext();
    virtual IBase::Boolean setToLast();
    virtual IBase::Boolean setToPrevious();
    virtual IContainerColumn* first();
    virtual IContainerColumn* next();
    virtual IContainerColumn* previous();
    virtual IContainerColumn* last();
    virtual IContainerColumn* current() const;
    virtual ColumnCursor& setCurrent(IContainerColumn* column);
    virtual IBase::Boolean isValid() const;
    virtual ColumnCursor& invalidate();

private:
    IBase::Boolean position(unsigned long command, IContainerColumn* from);

    ICnrCtl* fContainer;
    IBase::Boolean fVisibleOnly;
    IContainerColumn* fCurrent = nullptr;
    unsigned long fSnapshot = 0;
};
