// The drop source: OLE's answers, the drag image it shows by the allowed effect, and the
// cursor it hides and shows again. Drag images cannot be seen headless, so the tests call the
// methods as OLE does and look at the drop source's state.
#include <windows.h>

#include <gtest/gtest.h>

#include <iapp.hpp>
#include <idmdrsrc.hpp>
#include <idmimage.hpp>
#include <ireslib.hpp>

#include <ovktest.hpp>

namespace {

// The system's display count of the cursor, left as it was.
int displayCount()
{
    const int count = ShowCursor(TRUE);
    ShowCursor(FALSE);
    return count - 1;
}

class DropSource : public testing::Test {
protected:
    void SetUp() override {
        source = new IDMDropSource;
        source->AddRef();
        HDC screen = GetDC(nullptr);
        bitmap = CreateCompatibleBitmap(screen, 24, 20);
        ReleaseDC(nullptr, screen);
    }
    void TearDown() override {
        if (source)
            source->Release();
        DeleteObject(bitmap);
    }

    HRESULT moveWith(DWORD effect) {
        source->GiveFeedback(effect);
        return source->QueryContinueDrag(FALSE, MK_LBUTTON);
    }

    IDMDropSource* source = nullptr;
    HBITMAP bitmap = nullptr;
};

TEST_F(DropSource, AnswersOleWithoutAnImage)
{
    EXPECT_EQ(source->imageMode(), IDMDropSource::noImage);
    IDMImage none;
    source->setImage(none, IPoint(3, 3));
    EXPECT_EQ(source->imageMode(), IDMDropSource::noImage);
    EXPECT_EQ(source->QueryContinueDrag(FALSE, MK_LBUTTON), S_OK);
    EXPECT_EQ(source->QueryContinueDrag(FALSE, MK_RBUTTON), S_OK);
    EXPECT_EQ(source->QueryContinueDrag(FALSE, 0), DRAGDROP_S_DROP);
    EXPECT_EQ(source->QueryContinueDrag(TRUE, MK_LBUTTON), DRAGDROP_S_CANCEL);
    EXPECT_EQ(source->GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);
    EXPECT_EQ(source->cursorHides(), 0u);

    IDropSource* asked = nullptr;
    ASSERT_EQ(source->QueryInterface(IID_IDropSource, reinterpret_cast<void**>(&asked)), S_OK);
    asked->Release();
}

TEST_F(DropSource, ShowsTheImageOfTheAllowedEffect)
{
    IDMImage image{IBitmapHandle(bitmap)};
    source->setImage(image, IPoint(4, 5));
    ASSERT_EQ(source->imageMode(), IDMDropSource::bitmapImage);
    EXPECT_TRUE(source->isSkippingNext());

    // The first call after the image was prepared only clears skip-next.
    EXPECT_EQ(moveWith(DROPEFFECT_COPY), S_OK);
    EXPECT_FALSE(source->isSkippingNext());
    EXPECT_EQ(source->imageState(), IDMDropSource::noneShown);

    EXPECT_EQ(moveWith(DROPEFFECT_COPY | DROPEFFECT_MOVE), S_OK);
    EXPECT_EQ(source->imageState(), IDMDropSource::copyShown);
    const int copyImage = source->currentImageIndex();
    EXPECT_GE(source->cursorHides(), 1u);
    EXPECT_LT(displayCount(), 0);

    EXPECT_EQ(moveWith(DROPEFFECT_MOVE), S_OK);
    EXPECT_EQ(source->imageState(), IDMDropSource::moveShown);
    EXPECT_NE(source->currentImageIndex(), copyImage);
    EXPECT_EQ(moveWith(DROPEFFECT_LINK), S_OK);
    EXPECT_EQ(source->imageState(), IDMDropSource::linkShown);

    // Over a place that takes nothing the image goes and the cursor comes back; moving on
    // brings the image again after one skipped call.
    EXPECT_EQ(moveWith(DROPEFFECT_NONE), S_OK);
    EXPECT_EQ(source->imageState(), IDMDropSource::noneShown);
    EXPECT_EQ(source->cursorHides(), 0u);
    EXPECT_TRUE(source->isSkippingNext());
    moveWith(DROPEFFECT_MOVE);
    EXPECT_EQ(source->imageState(), IDMDropSource::noneShown);
    moveWith(DROPEFFECT_MOVE);
    EXPECT_EQ(source->imageState(), IDMDropSource::moveShown);

    EXPECT_EQ(source->QueryContinueDrag(FALSE, 0), DRAGDROP_S_DROP);
}

TEST_F(DropSource, CursorCountIsTheSameAfterTheDragAlsoWhenTheApplicationHidItTwice)
{
    for (int applicationHides : {0, 2}) {
        for (int i = 0; i < applicationHides; ++i)
            ShowCursor(FALSE);
        const int before = displayCount();
        auto* dragging = new IDMDropSource;
        dragging->AddRef();
        IDMImage image{IBitmapHandle(bitmap)};
        dragging->setImage(image, IPoint(0, 0));
        dragging->GiveFeedback(DROPEFFECT_MOVE);
        dragging->QueryContinueDrag(FALSE, MK_LBUTTON);
        dragging->QueryContinueDrag(FALSE, MK_LBUTTON);
        EXPECT_EQ(dragging->imageState(), IDMDropSource::moveShown);
        EXPECT_LT(displayCount(), 0);
        dragging->QueryContinueDrag(FALSE, MK_LBUTTON);
        EXPECT_EQ(dragging->QueryContinueDrag(TRUE, MK_LBUTTON), DRAGDROP_S_CANCEL);
        dragging->Release();
        EXPECT_EQ(displayCount(), before) << applicationHides;
        for (int i = 0; i < applicationHides; ++i)
            ShowCursor(TRUE);
    }
}

TEST_F(DropSource, IconImagesAreShownToo)
{
    IDMImage image(IApplication::current().ovkuiResourceLibrary().loadIcon(0x7112));
    source->setImage(image, IPoint(16, 16));
    EXPECT_EQ(source->imageMode(), IDMDropSource::iconImage);
    moveWith(DROPEFFECT_COPY);
    moveWith(DROPEFFECT_COPY);
    EXPECT_EQ(source->imageState(), IDMDropSource::copyShown);
}

} // namespace
