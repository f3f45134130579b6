// The library and another program: text dragged by hand out of an entry field onto a target
// that is not the library's (which keeps the data object and sends no end notification), and
// the drag information read from another program's stream.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <detail/iscoped.hpp>
#include <idmdinfo.hpp>
#include <idmdistr.hpp>
#include <idmfact.hpp>
#include <idmitem.hpp>
#include <idmoper.hpp>
#include <idmsupp.hpp>
#include <idmtbit.hpp>
#include <ientryfd.hpp>
#include <iprivmsg.hpp>

#include <handdrag.hpp>
#include <ovktest.hpp>

#include "detail/idmmedium.hpp"
#include "dragtest.hpp"

namespace {

using ovktest::str;

FORMATETC textFormat()
{
    return FORMATETC{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

// The text of a data object, as another program fetches it; the answer of GetData as well.
HRESULT fetchText(IDataObject* data, std::string& text)
{
    FORMATETC format = textFormat();
    STGMEDIUM medium{};
    const HRESULT result = data->GetData(&format, &medium);
    if (result != S_OK)
        return result;
    {
        const ovk_native::GlobalLockScope block(medium.hGlobal);
        const char* bytes = static_cast<const char*>(block.data());
        text = bytes ? std::string(bytes, strnlen(bytes, block.size())) : std::string();
    }
    ReleaseStgMedium(&medium);
    return result;
}

// Another program's window that takes drops: it answers every drag with `answer` (as far as the
// source allows), fetches the text at the drop and keeps the data object afterwards, as COM lets
// it. It sends no end notification: it knows nothing of the library.
class ForeignTarget : public dragtest::AnsweringTarget {
public:
    explicit ForeignTarget(const RECT& place)
        : AnsweringTarget(DROPEFFECT_MOVE), fWindow(ovktest::createNativeWindow(nullptr, WS_POPUP))
    {
        SetWindowPos(fWindow, HWND_TOPMOST, place.left, place.top, place.right - place.left,
                     place.bottom - place.top, SWP_SHOWWINDOW | SWP_NOACTIVATE);
        registered = RegisterDragDrop(fWindow, this) == S_OK;
    }
    ~ForeignTarget() override
    {
        RevokeDragDrop(fWindow);
        DestroyWindow(fWindow);
    }

    HWND window() const { return fWindow; }

    bool registered = false;
    std::string fetched;
    int drops = 0;
    ovk_native::ComReference<IDataObject> kept;

    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        ++drops;
        fetchText(data, fetched);
        data->AddRef();
        kept.reset(data);
        *effect &= answer;
        return S_OK;
    }

private:
    HWND fWindow;
};

// Counts the render events that reach a window.
class RenderCounter : public IHandler {
public:
    int renders = 0;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override {
        if (event.eventId() == IPrivateMessage::dragRender)
            ++renders;
        return false;
    }
};

// Text in an entry field, dragged by hand onto another program's window.
class TextOutOfTheLibrary : public testing::Test {
protected:
    void SetUp() override {
        // The other program's window registers with OLE of its own thread.
        IDMSupport::initializeOle();
        target = std::make_unique<ForeignTarget>(RECT{100, 300, 300, 380});
        SetWindowPos(parent.hwnd(), HWND_TOPMOST, 100, 100, 320, 60, SWP_SHOWWINDOW);
        field = std::make_unique<IEntryField>(31, &parent, &parent, IRectangle(10, 10, 300, 34));
        IDMSupport::enableDragDropFor<IDMEntryFieldItem>(field.get());
        counter.handleEventsFor(field.get());
        field->setText("hello world");
        field->selectRange(IRange(6, 10));
        ASSERT_TRUE(target->registered);
        ovktest::pumpPending();
    }
    void TearDown() override {
        if (field)
            counter.stopHandlingEventsFor(field.get());
        target.reset();
        IDMSupport::uninitializeOle();
    }

    // Presses on the selection and lets go over the other program's window.
    void dragSelectionOut() {
        const LRESULT at = SendMessageA(field->handle(), EM_POSFROMCHAR, 7, 0);
        ovktest::HandPath path;
        path.from = ovktest::onScreen(field->handle(), LOWORD(at) + 2, HIWORD(at) + 4);
        path.to = ovktest::onScreen(target->window(), 60, 30);
        ASSERT_TRUE(ovktest::dragByHand(path));
    }

    ovktest::TestWindow parent{nullptr, WS_POPUP};
    std::unique_ptr<IEntryField> field;
    std::unique_ptr<ForeignTarget> target;
    RenderCounter counter;
};

struct ForeignAnswerCase {
    const char* name;
    DWORD answer;
    const char* sourceAfter;
};

class TextOutByAnswer : public TextOutOfTheLibrary,
                        public testing::WithParamInterface<ForeignAnswerCase> {};

INSTANTIATE_TEST_SUITE_P(
    Answers, TextOutByAnswer,
    testing::Values(ForeignAnswerCase{"AMoveTakesTheTextFromTheSource", DROPEFFECT_MOVE, "hello "},
                    ForeignAnswerCase{"ACopyLeavesIt", DROPEFFECT_COPY, "hello world"}),
    [](const testing::TestParamInfo<ForeignAnswerCase>& info) { return info.param.name; });

TEST_P(TextOutByAnswer, TheOtherProgramGetsTheSelection)
{
    target->answer = GetParam().answer;
    dragSelectionOut();
    EXPECT_EQ(target->drops, 1);
    EXPECT_EQ(target->fetched, "world");
    EXPECT_EQ(str(field->text()), GetParam().sourceAfter);
    EXPECT_FALSE(IDMSourceOperation::currentSourceOperation());
}

TEST_F(TextOutOfTheLibrary, AKeptDataObjectRendersNothingOnceTheDragHasEnded)
{
    dragSelectionOut();
    ASSERT_EQ(target->fetched, "world");
    ASSERT_TRUE(target->kept);
    const int rendersInTheDrag = counter.renders;
    EXPECT_GE(rendersInTheDrag, 1);

    std::string late;
    EXPECT_EQ(fetchText(target->kept.get(), late), DV_E_FORMATETC);
    EXPECT_EQ(counter.renders, rendersInTheDrag);

    // The source window object goes; the data object outlives it.
    counter.stopHandlingEventsFor(field.get());
    field.reset();
    EXPECT_EQ(fetchText(target->kept.get(), late), DV_E_FORMATETC);
    FORMATETC format = textFormat();
    EXPECT_EQ(target->kept->QueryGetData(&format), S_OK);
    target->kept.reset();
}

// The drag information in another program's stream: only what the stream really read is
// parsed, and a stream that reports more than it was asked for is not believed.
struct LyingStreamCase {
    const char* name;
    ULONG extra;
    bool believed;
};

class DragInfoFromAnotherProgram : public testing::TestWithParam<LyingStreamCase> {};

INSTANTIATE_TEST_SUITE_P(
    Streams, DragInfoFromAnotherProgram,
    testing::Values(LyingStreamCase{"AnHonestStreamIsRead", 0, true},
                    LyingStreamCase{"AStreamClaimingOneByteMoreIsNot", 1, false},
                    LyingStreamCase{"AStreamClaimingAPageMoreIsNot", 4096, false}),
    [](const testing::TestParamInfo<LyingStreamCase>& info) { return info.param.name; });

TEST_P(DragInfoFromAnotherProgram, OnlyWhatTheStreamReallyReadIsBelieved)
{
    IDMDragInfo info(1);
    info.item(0).types = "Text";
    ovk_native::ComReference<IStream> stream;
    stream.query(new dragtest::LyingStream(IDMDragInfoStream::create(info), GetParam().extra), IID_IStream);
    ASSERT_TRUE(stream);
    const std::unique_ptr<IDMDragInfo> read = IDMDragInfoStream::read(stream.get());
    ASSERT_EQ(read != nullptr, GetParam().believed);
    if (read) {
        ASSERT_EQ(read->itemCount(), 1u);
        EXPECT_EQ(str(read->item(0).types), "Text");
    }
}

} // namespace
