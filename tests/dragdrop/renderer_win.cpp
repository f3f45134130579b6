// Renderers and the drag source and target handlers: the choice of an item's renderer on both
// sides, the operation check, the shell formats a file item renders in, the target's rendering
// by the selected pair, and the one-call enabling with its item providers.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <iapp.hpp>
#include <idmdinfo.hpp>
#include <idmdnfo.hpp>
#include <idmevent.hpp>
#include <idmfact.hpp>
#include <idmitem.hpp>
#include <idmoper.hpp>
#include <idmrendr.hpp>
#include <idmsrhdr.hpp>
#include <idmsupp.hpp>
#include <iprivmsg.hpp>
#include <ovkmsgid.hpp>

#include "dragtest.hpp"
#include <ovktest.hpp>

namespace {

using ovktest::caught;
using ovktest::str;

const char kFilePair[] = "<DRM_TARVOSFILE,DRF_TEXT>";
const char kTextPair[] = "<DRM_KestaUI,DRF_TEXT>";

// A source operation made current for the test's scope, with the items added by `add`.
struct CurrentSource {
    explicit CurrentSource(HWND window = nullptr) : operation(new IDMSourceOperation(window)) {
        IDMSourceOperation::setCurrentSourceOperation(operation);
    }
    ~CurrentSource() {
        IDMSourceOperation::setCurrentSourceOperation(IReference<IDMSourceOperation>());
    }
    IDMItem::Handle add(const char* types, const char* rmfs, const char* path = "") {
        operation->addRef();
        IDMItem::Handle item(new IDMItem(operation.get(), types, IDMItem::copyable));
        item->setRMFs(rmfs);
        IDMTargetRenderer::splitPath(*item, path);
        operation->addItem(item);
        return item;
    }
    IReference<IDMSourceOperation> operation;
};

// A target item that records when its drop hook runs.
class RecordingItem : public IDMItem {
public:
    RecordingItem(IDMTargetOperation* operation, const IDMDragInfoItem& entry, std::string& log)
        : IDMItem(operation, entry), fLog(log) {}
    IBase::Boolean targetDrop(IDMTargetDropEvent&) override {
        fLog += str(sourceName()) + " ";
        return true;
    }

private:
    std::string& fLog;
};

IReference<IDMTargetOperation> targetWith(HWND window, unsigned long operation,
                                          unsigned long supported)
{
    IReference<IDMTargetOperation> target(new IDMTargetOperation(window));
    target->setOperation(operation);
    IDMDragInfoItem entry;
    entry.types = "Text";
    entry.rmfs = kTextPair;
    entry.supportedOperations = static_cast<std::uint16_t>(supported);
    target->addItem(IDMItem::Handle(new IDMItem(target.get(), entry)));
    return target;
}

TEST(SourceRenderers, TheFirstFittingRendererWinsAndAFilePairMakesTheTextPairRedundant)
{
    IDMSourceHandler handler;
    IDMSourceRenderer textOnly(kTextPair, "Text");
    handler.addRenderer(textOnly);
    ASSERT_EQ(handler.numberOfRenderers(), 2u);
    CurrentSource source;
    IDMItem::Handle text = source.add("Text", kTextPair);
    ASSERT_TRUE(handler.selectRenderers());
    EXPECT_EQ(text->rendererIndex(), 1u);
    // A pair that two renderers carry is listed once per renderer.
    EXPECT_EQ(str(text->rmfs()), "<DRM_KestaUI,DRF_TEXT>,<DRM_KestaUI,DRF_TEXT>");

    // Type names are found inside longer ones on both sides.
    EXPECT_TRUE(textOnly.fits(source.add("Plain Text", kTextPair)));
    IDMTargetRenderer longName(kTextPair, "Plain Text,Bitmap");
    IReference<IDMTargetOperation> target = targetWith(nullptr, IDMOperation::copy, IDMItem::copyable);
    EXPECT_EQ(longName.canRender(target->item(1)), 1);

    IDMSourceHandler plain;
    CurrentSource both;
    IDMItem::Handle file = both.add("File", "<DRM_KestaUI,DRF_TEXT>,<DRM_TARVOSFILE,DRF_TEXT>");
    ASSERT_TRUE(plain.selectRenderers());
    EXPECT_EQ(str(file->rmfs()), kFilePair);
    // An item no renderer fits stops the drag before it starts.
    both.add("Text", "<DRM_ELSEWHERE,DRF_TEXT>");
    EXPECT_FALSE(plain.selectRenderers());
}

TEST(SourceRenderers, TheUntypedListOperationsOfADragHandlerChangeNothing)
{
    IDMSourceHandler handler;
    IDMSourceRenderer a, b;
    IDMRenderer plain;
    handler.addRenderer(a).addRenderer(b);
    handler.setRenderer(plain);
    handler.removeRenderer(1);
    EXPECT_EQ(handler.numberOfRenderers(), 3u);
    handler.setRenderer(b);
    ASSERT_EQ(handler.numberOfRenderers(), 1u);
    EXPECT_EQ(handler.renderer(1), &b);
    EXPECT_EQ(caught([&] { handler.renderer(2); }).errorId(), OVK_MSG_POSITION_INVALID);
}

struct OperationCase {
    unsigned long operation;
    unsigned long supported;
    bool accepted;
    unsigned long after;
};

class OperationCheck : public testing::TestWithParam<OperationCase> {};

TEST_P(OperationCheck, FollowsTheItemsOperations)
{
    const OperationCase& c = GetParam();
    IReference<IDMTargetOperation> target = targetWith(nullptr, c.operation, c.supported);
    IDMTargetRenderer renderer;
    EXPECT_EQ(renderer.isOperationSupported(target->item(1)), c.accepted);
    EXPECT_EQ(target->operation(), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Table, OperationCheck,
    testing::Values(OperationCase{0x20, IDMItem::moveable | IDMItem::copyable, true, 2},
                    OperationCase{0x20, IDMItem::copyable | IDMItem::linkable, true, 1},
                    OperationCase{0x20, IDMItem::linkable, true, 4},
                    OperationCase{0x20, 0, false, 0x20},
                    OperationCase{1, IDMItem::copyable, true, 1},
                    OperationCase{2, IDMItem::copyable, false, 2},
                    OperationCase{0xBFFF, 7, false, 0xBFFF}));

TEST(TargetHandler, AnItemWithoutAnOperationAnswersNoDropForThisOperation)
{
    IDMTargetHandler handler;
    IReference<IDMTargetOperation> target = targetWith(nullptr, 0x20, 0);
    EXPECT_FALSE(handler.checkItem(target->item(1)));
    EXPECT_EQ(target->item(1)->dropAnswer(), 2);
    // A pair no renderer carries: never a drop.
    target->item(1)->setRMFs("<DRM_ELSEWHERE,DRF_TEXT>");
    EXPECT_FALSE(handler.checkItem(target->item(1)));
    EXPECT_EQ(target->item(1)->dropAnswer(), 3);
}

TEST(TargetHandler, ItemAnswersCombine)
{
    const struct {
        unsigned char current, answer, combined;
    } cases[] = {{1, 0, 0}, {0, 2, 2}, {2, 0, 2}, {0, 3, 3}, {2, 3, 3}, {3, 0, 3}, {3, 1, 3}};
    for (const auto& c : cases)
        EXPECT_EQ(IDMTargetHandler::combineAnswers(c.current, c.answer), c.combined)
            << int(c.current) << " with " << int(c.answer);
}

// Render requests reach the source window as the data object sends them.
class FileRendering : public testing::Test {
protected:
    void SetUp() override { handler.handleEventsFor(&window); }
    void TearDown() override { handler.stopHandlingEventsFor(&window); }

    // The block rendered for a request, empty when nothing was.
    std::vector<char> render(unsigned int format, long lindex) {
        FORMATETC request{static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, lindex,
                          TYMED_HGLOBAL};
        STGMEDIUM medium{};
        window.sendEvent(IPrivateMessage::dragRender, IEventData(&request), IEventData(&medium));
        std::vector<char> bytes;
        if (medium.tymed != TYMED_HGLOBAL || !medium.hGlobal)
            return bytes;
        {
            const ovk_native::GlobalLockScope block(medium.hGlobal);
            const char* data = static_cast<const char*>(block.data());
            if (data)
                bytes.assign(data, data + block.size());
        }
        if (format == CF_HDROP)
            drop = medium.hGlobal;
        else
            ReleaseStgMedium(&medium);
        return bytes;
    }
    std::vector<std::string> dropped() {
        std::vector<std::string> names;
        const UINT count = DragQueryFileA(static_cast<HDROP>(drop), 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            char name[MAX_PATH] = {};
            DragQueryFileA(static_cast<HDROP>(drop), i, name, MAX_PATH);
            names.emplace_back(name);
        }
        GlobalFree(drop);
        drop = nullptr;
        return names;
    }
    void makeSource() {
        source.add("File", kFilePair, "C:\\dir\\a.txt")->setTrueType("File");
        source.add("Text", kFilePair, "C:\\dir\\b.txt")->setObjectOffset(IPoint(-3, 7));
        source.add("File", kFilePair, "C:\\c.txt")->setTrueType("File");
        ASSERT_TRUE(handler.selectRenderers());
    }

    ovktest::TestWindow window;
    IDMSourceHandler handler;
    CurrentSource source{window.hwnd()};
    HGLOBAL drop = nullptr;
};

TEST_F(FileRendering, AFileListNamesEveryFileItemAndTheOffsetsStartWithTheShellsPoint)
{
    makeSource();
    ASSERT_FALSE(render(CF_HDROP, -1).empty());
    EXPECT_EQ(dropped(), (std::vector<std::string>{"C:\\dir\\a.txt", "C:\\c.txt"}));
    // A request that names an item lists that item only.
    render(CF_HDROP, static_cast<long>(source.operation->item(2)->itemId()));
    EXPECT_EQ(dropped(), (std::vector<std::string>{"C:\\dir\\b.txt"}));

    const std::vector<char> offsets =
        render(IDragInfoWrapper::formatOfType("Shell Object Offsets"), -1);
    ASSERT_EQ(offsets.size(), 32u);
    std::int32_t points[8] = {};
    std::memcpy(points, offsets.data(), sizeof points);
    EXPECT_EQ(points[0], 40);
    EXPECT_EQ(points[1], 50);
    EXPECT_EQ(points[4], -3);
    EXPECT_EQ(points[5], 7);

    const std::vector<char> name = render(IDragInfoWrapper::formatOfType("FileName"), -1);
    EXPECT_EQ(std::string(name.data()), "C:\\dir\\a.txt");
    // A format the file rendering does not know leaves the medium empty.
    EXPECT_TRUE(render(CF_BITMAP, -1).empty());
}

TEST_F(FileRendering, TwoItemsGiveTwentyFourBytesOfOffsets)
{
    source.add("File", kFilePair, "C:\\a.txt");
    source.add("File", kFilePair, "C:\\b.txt");
    ASSERT_TRUE(handler.selectRenderers());
    EXPECT_EQ(render(IDragInfoWrapper::formatOfType("Shell Object Offsets"), -1).size(), 24u);
}

TEST_F(FileRendering, AnItemThatIsNoFileTravelsAsItsText)
{
    source.add("Text", kTextPair)->setContents("hello");
    ASSERT_TRUE(handler.selectRenderers());
    const std::vector<char> text = render(CF_TEXT, -1);
    ASSERT_EQ(text.size(), 6u);
    EXPECT_EQ(std::string(text.data()), "hello");
}

TEST(TargetRenderer, APathSplitsAfterItsLastBackslashAndJoinsBack)
{
    IDMItem item(nullptr, "File");
    IDMTargetRenderer::splitPath(item, "C:\\dir\\name.txt");
    EXPECT_EQ(str(item.containerName()), "C:\\dir\\");
    EXPECT_EQ(str(item.sourceName()), "name.txt");
    EXPECT_EQ(str(item.containerName() + item.sourceName()), "C:\\dir\\name.txt");
    IDMTargetRenderer::splitPath(item, "plain");
    EXPECT_EQ(str(item.containerName()), "");
    EXPECT_EQ(str(item.sourceName()), "plain");
}

class TargetDrop : public testing::Test {
protected:
    void SetUp() override {
        handler.handleEventsFor(&window);
        target = IReference<IDMTargetOperation>(new IDMTargetOperation(window.hwnd()));
        target->setOperation(IDMOperation::copy);
        IDMTargetOperation::setCurrentTargetOperation(target);
    }
    void TearDown() override {
        IDMTargetOperation::setCurrentTargetOperation(IReference<IDMTargetOperation>());
        handler.stopHandlingEventsFor(&window);
    }
    IDMItem::Handle add(const char* name, const IString& selected) {
        IDMDragInfoItem entry;
        entry.types = "Text";
        entry.sourceName = name;
        IDMItem::Handle item(new RecordingItem(target.get(), entry, log));
        item->setSelectedRMF(selected);
        item->setRendererIndex(1);
        target->addItem(item);
        return item;
    }

    ovktest::TestWindow window;
    IDMTargetHandler handler;
    IReference<IDMTargetOperation> target;
    std::string log;
};

TEST_F(TargetDrop, RunsTheItemsFromTheLastToTheFirstAndReportsTheOperation)
{
    add("first", "<DRM_OBJECT,DRF_OBJECT>");
    add("second", "<DRM_KestaUI,DRF_TEXT>");
    const unsigned long done = window.sendEvent(IPrivateMessage::dragDrop, 0, 0).asUnsignedLong();
    EXPECT_EQ(log, "second first ");
    EXPECT_EQ(done, IDMOperation::copy);
    // Each item's end took it out; the last one ended the target operation.
    EXPECT_FALSE(IDMTargetOperation::currentTargetOperation());
}

TEST_F(TargetDrop, APairThatCannotBeServedRaisesItsMessageBeforeTheHook)
{
    IDMTargetRenderer renderer;
    const struct {
        const char* pair;
        unsigned long message;
    } cases[] = {{"<DRM_KestaUI,DRF_PROCESS=4294967295>", OVK_MSG_RENDER_OTHER_PROCESS},
                 {"<DRM_KestaUI,DRF_BITMAP>", OVK_MSG_RENDER_FORMAT_UNSUPPORTED},
                 {"<DRM_ELSEWHERE,DRF_TEXT>", OVK_MSG_RENDER_MECHANISM_UNSUPPORTED}};
    for (const auto& c : cases) {
        IDMItem::Handle item = add("x", c.pair);
        IEvent raw(window.handle(), IPrivateMessage::dragDrop, 0, 0);
        IDMTargetDropEvent drop(raw);
        EXPECT_EQ(caught([&] { renderer.targetRender(drop, item); }).errorId(), c.message) << c.pair;
        // No hook and no end notification: the item is still in the operation.
        EXPECT_EQ(target->numberOfItems(), 1u);
        target->removeItem(1);
    }
    EXPECT_EQ(log, "");
    // The same in-process pair of this process passes.
    IDMItem::Handle own = add("own", IDMRenderer::processRMF());
    IEvent raw(window.handle(), IPrivateMessage::dragDrop, 0, 0);
    IDMTargetDropEvent drop(raw);
    EXPECT_TRUE(renderer.targetRender(drop, own));
    EXPECT_EQ(log, "own ");
}

TEST(DragEnabling, ProvidersAreSetOnceAndDropOnlyStartsNoDrag)
{
    ovktest::TestWindow never;
    EXPECT_EQ(IDMSupport::itemFactoryFor(&never), nullptr);

    ovktest::TestWindow both;
    IDMItemFactory mine;
    IDMSupport::setItemFactory(&both, &mine);
    IDMSupport::enableDragDrop(&both);
    IDMSupport::enableDragDrop(&both);
    EXPECT_EQ(IDMSupport::itemFactoryFor(&both), &mine);
    // The source handler answers the drag start, here with no items to drag.
    EXPECT_EQ(both.sendEvent(IPrivateMessage::dragStart, 0, 0).asUnsignedLong(), 1u);

    ovktest::TestWindow dropOnly;
    IDMSupport::enableDrop(&dropOnly);
    EXPECT_NE(IDMSupport::itemFactoryFor(&dropOnly), nullptr);
    EXPECT_EQ(dropOnly.sendEvent(IPrivateMessage::dragStart, 0, 0).asUnsignedLong(), 0u);

    // A destroyed window leaves the map, so that a window made later at its address starts
    // without a provider.
    IWindow* gone = &dropOnly;
    DestroyWindow(dropOnly.hwnd());
    EXPECT_EQ(IDMSupport::itemFactoryFor(gone), nullptr);
}

} // namespace
