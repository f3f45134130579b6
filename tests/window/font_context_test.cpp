// Fonts in device contexts: selecting and restoring, sizing for a context, and the font of a
// context.
#include <windows.h>

#include <gtest/gtest.h>

#include <ifont.hpp>
#include <iexcept.hpp>
#include <ihandle.hpp>

namespace {

constexpr const char* kFace = "Tahoma";

// A memory device context, deleted at the end of the test.
class MemoryContext {
public:
    MemoryContext() : fContext(CreateCompatibleDC(nullptr)) {}
    MemoryContext(const MemoryContext&) = delete;
    MemoryContext& operator=(const MemoryContext&) = delete;
    ~MemoryContext() { DeleteDC(fContext); }
    HDC get() const { return fContext; }
    HGDIOBJ font() const { return GetCurrentObject(fContext, OBJ_FONT); }

private:
    HDC fContext;
};

} // namespace

TEST(FontContext, EndingRestoresTheOriginalOnTheLastEnd)
{
    MemoryContext context;
    HGDIOBJ original = context.font();
    IFont font(kFace, 12);
    font.beginUsingFont(IPresSpaceHandle(context.get()));
    font.beginUsingFont(IPresSpaceHandle(context.get()));
    EXPECT_EQ(context.font(), font.handle());
    font.endUsingFont(IPresSpaceHandle(context.get()));
    EXPECT_EQ(context.font(), font.handle());
    font.endUsingFont(IPresSpaceHandle(context.get()));
    EXPECT_EQ(context.font(), original);
    // One end too many changes nothing.
    font.endUsingFont(IPresSpaceHandle(context.get()));
    EXPECT_EQ(context.font(), original);
}

TEST(FontContext, SharedFontInTwoContextsRestoresEach)
{
    MemoryContext first;
    MemoryContext second;
    HGDIOBJ firstOriginal = first.font();
    HGDIOBJ secondOriginal = second.font();
    IFont font(kFace, 12);
    IFont copy(font);
    font.beginUsingFont(IPresSpaceHandle(first.get()));
    copy.beginUsingFont(IPresSpaceHandle(second.get()));
    font.endUsingFont(IPresSpaceHandle(first.get()));
    EXPECT_EQ(first.font(), firstOriginal);
    EXPECT_EQ(second.font(), font.handle());
    copy.endUsingFont(IPresSpaceHandle(second.get()));
    EXPECT_EQ(second.font(), secondOriginal);
}

TEST(FontContext, ChangingASelectedFontSelectsTheNewOne)
{
    MemoryContext context;
    HGDIOBJ original = context.font();
    IFont font(kFace, 12);
    font.beginUsingFont(IPresSpaceHandle(context.get()));
    HFONT old = font.handle();
    font.setBold();
    EXPECT_EQ(context.font(), font.handle());
    // Deselected first, the old font could be deleted.
    EXPECT_EQ(GetObjectType(old), 0u);
    font.endUsingFont(IPresSpaceHandle(context.get()));
    EXPECT_EQ(context.font(), original);
}

// A font selected into a context and then changed while a copy shares it: the change takes the
// selection along, so the font's end puts back what it replaced, and the copy's old native
// font, no longer selected anywhere, goes with the copy.
TEST(FontContext, ChangingASelectedFontThatACopySharesKeepsItsSelection)
{
    MemoryContext context;
    HGDIOBJ original = context.font();
    IFont font(kFace, 12);
    font.beginUsingFont(IPresSpaceHandle(context.get()));
    HFONT shared = font.handle();
    {
        IFont copy(font);
        font.setBold();
        EXPECT_EQ(copy.handle(), shared);
        EXPECT_NE(font.handle(), shared);
        EXPECT_EQ(context.font(), font.handle());
        // The copy ends nothing it did not begin.
        copy.endUsingFont(IPresSpaceHandle(context.get()));
        EXPECT_EQ(context.font(), font.handle());
    }
    EXPECT_EQ(GetObjectType(shared), 0u) << "the shared font outlived its last user";
    font.endUsingFont(IPresSpaceHandle(context.get()));
    EXPECT_EQ(context.font(), original);
}

TEST(FontContext, FontOfAContextIsTheSelectedOne)
{
    MemoryContext context;
    IFont selected(kFace, 14);
    selected.setBold();
    HGDIOBJ original = SelectObject(context.get(), selected.handle());
    IFont font{IPresSpaceHandle(context.get())};
    SelectObject(context.get(), original);
    EXPECT_EQ(std::string(font.name()), kFace);
    EXPECT_TRUE(font.isBold());
    EXPECT_EQ(font.fontAttributes().lfHeight, selected.fontAttributes().lfHeight);
    EXPECT_NE(font.handle(), selected.handle());
}

TEST(FontContext, SizesAreMeasuredForTheContext)
{
    // A memory context has the screen's resolution, so it sizes as the screen does.
    MemoryContext context;
    const IPresSpaceHandle handle(context.get());
    EXPECT_EQ(IFont::charHeightFromPoints(12, handle), IFont::charHeightFromPoints(12));
    EXPECT_EQ(IFont::pointsFromHeight(20, 4, handle), IFont::pointsFromHeight(20, 4));
    IFont font(kFace, 12, false, false, handle);
    EXPECT_EQ(font.fontAttributes().lfHeight, IFont::charHeightFromPoints(12));
    font.setPointSize(14, handle);
    EXPECT_EQ(font.pointSize(), 14u);
    font.setCharHeight(20, handle);
    EXPECT_EQ(font.fontAttributes().lfHeight, 20);
    font.useBitmapOnly();
    EXPECT_THROW(font.setCharSize(ISize(4, 4), handle), IInvalidRequest);
}
