// The drag's format enumerator, data object and drag-information stream.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include <idmdatao.hpp>
#include <idmdistr.hpp>
#include <idmfmten.hpp>
#include <detail/icallgrd.hpp>
#include <iprivmsg.hpp>

#include <ovktest.hpp>

#include "detail/idmmedium.hpp"
#include "dragtest.hpp"

namespace {

using ovktest::str;

FORMATETC entry(CLIPFORMAT format, DWORD tymed)
{
    return FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, tymed};
}

using dragtest::held;

TEST(FormatEnumerator, NextAndSkipStopAtTheEnd)
{
    const FORMATETC formats[] = {entry(CF_TEXT, TYMED_HGLOBAL), entry(CF_HDROP, TYMED_HGLOBAL),
                                 entry(CF_BITMAP, TYMED_GDI)};
    const auto enumerator = held<IEnumFORMATETC>(new IDMFormatEnumerator(3, formats));
    FORMATETC out[3] = {};
    ULONG fetched = 99;
    EXPECT_EQ(enumerator->Skip(1), S_OK);
    EXPECT_EQ(enumerator->Next(3, out, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 2u);
    EXPECT_EQ(out[0].cfFormat, CF_HDROP);
    EXPECT_EQ(out[1].cfFormat, CF_BITMAP);
    EXPECT_EQ(enumerator->Next(3, out, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);

    EXPECT_EQ(enumerator->Reset(), S_OK);
    EXPECT_EQ(enumerator->Skip(4), S_FALSE);
    EXPECT_EQ(enumerator->Skip(3), S_OK); // exactly what is left
    EXPECT_EQ(enumerator->Next(1, out, nullptr), S_FALSE);
    EXPECT_EQ(enumerator->Reset(), S_OK);
    EXPECT_EQ(enumerator->Next(2, out, nullptr), E_POINTER);
    EXPECT_EQ(enumerator->Next(1, out, nullptr), S_OK);

    // A clone starts where the original stands and walks on its own.
    IEnumFORMATETC* clone = nullptr;
    ASSERT_EQ(enumerator->Clone(&clone), S_OK);
    const ovk_native::ComReference<IEnumFORMATETC> heldClone(clone);
    EXPECT_EQ(clone->Next(1, out, &fetched), S_OK);
    EXPECT_EQ(out[0].cfFormat, CF_HDROP);
    EXPECT_EQ(enumerator->Next(1, out, &fetched), S_OK);
    EXPECT_EQ(out[0].cfFormat, CF_HDROP);

    IUnknown* unknown = nullptr;
    EXPECT_EQ(enumerator->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    unknown->Release();
    void* other = &unknown;
    EXPECT_EQ(enumerator->QueryInterface(IID_IDataObject, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);

    const auto empty = held<IEnumFORMATETC>(new IDMFormatEnumerator(0, nullptr));
    EXPECT_EQ(empty->Next(1, out, &fetched), S_FALSE);
    EXPECT_EQ(empty->Skip(0), S_FALSE);
}

TEST(DragInfoStream, CarriesTheRecordAndRefusesWhatIsNotOne)
{
    IDMDragInfo info(1);
    info.sourceWindow = 0x80000002u;
    info.item(0).types = IString("Te\0xt", 5);
    IStream* stream = IDMDragInfoStream::create(info);
    ASSERT_NE(stream, nullptr);
    auto back = IDMDragInfoStream::read(stream);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->sourceWindow, 0x80000002u);
    EXPECT_EQ(str(back->item(0).types), std::string("Te\0xt", 5));
    stream->Release();

    // A stream of something else, and a stream larger than any drag information.
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
    stream->Write("12\0" "x", 4, nullptr);
    EXPECT_FALSE(IDMDragInfoStream::read(stream));
    ULARGE_INTEGER huge{};
    huge.QuadPart = IDMDragInfo::maximumSize + 1;
    stream->SetSize(huge);
    EXPECT_FALSE(IDMDragInfoStream::read(stream));
    stream->Release();
    EXPECT_FALSE(IDMDragInfoStream::read(nullptr));
}

// Renders text for the data object, or leaves the medium empty, or fails.
class RenderHandler : public IHandler {
public:
    enum class Mode { text, nothing, fail } mode = Mode::text;
    int calls = 0;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override {
        if (event.eventId() != IPrivateMessage::dragRender)
            return false;
        ++calls;
        auto* medium = static_cast<STGMEDIUM*>(event.parameter2().asPointer());
        if (mode == Mode::fail)
            throw IException("render failed");
        if (mode == Mode::text) {
            HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 3);
            std::memcpy(GlobalLock(block), "hi", 3);
            GlobalUnlock(block);
            medium->tymed = TYMED_HGLOBAL;
            medium->hGlobal = block;
        }
        return true;
    }
};

class DataObject : public testing::Test {
protected:
    void SetUp() override {
        const FORMATETC formats[] = {entry(CF_TEXT, TYMED_HGLOBAL),
                                     entry(IDMDragInfoStream::format(), TYMED_ISTREAM)};
        IEnumFORMATETC* enumerator = new IDMFormatEnumerator(2, formats);
        enumerator->AddRef();
        IDMDragInfo info;
        info.positionX = 5;
        IStream* stream = IDMDragInfoStream::create(info);
        object = new IDMDataObject(&window, enumerator, stream);
        object->AddRef();
        enumerator->Release();
        stream->Release();
        renderer.handleEventsFor(&window);
    }
    void TearDown() override {
        renderer.stopHandlingEventsFor(&window);
        object->Release();
    }

    ovktest::TestWindow window;
    RenderHandler renderer;
    IDataObject* object = nullptr;
};

TEST_F(DataObject, DragInformationTravelsOnlyAsAStream)
{
    FORMATETC asBlock = entry(IDMDragInfoStream::format(), TYMED_HGLOBAL);
    FORMATETC asStream = entry(IDMDragInfoStream::format(), TYMED_ISTREAM);
    EXPECT_EQ(object->QueryGetData(&asBlock), DV_E_FORMATETC);
    EXPECT_EQ(object->QueryGetData(&asStream), S_OK);
    ovk_native::Medium fetched;
    ASSERT_EQ(object->GetData(&asStream, &fetched.medium), S_OK);
    fetched.held = true;
    EXPECT_EQ(fetched.medium.tymed, static_cast<DWORD>(TYMED_ISTREAM));
    auto info = IDMDragInfoStream::read(fetched.medium.pstm);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->positionX, 5);
    EXPECT_EQ(renderer.calls, 0);
}

TEST_F(DataObject, OrdinaryFormatsAreRenderedByTheSourceWindow)
{
    FORMATETC text = entry(CF_TEXT, TYMED_HGLOBAL);
    {
        ovk_native::Medium fetched;
        ASSERT_EQ(object->GetData(&text, &fetched.medium), S_OK);
        fetched.held = true;
        const ovk_native::GlobalLockScope block(fetched.medium.hGlobal);
        ASSERT_NE(block.data(), nullptr);
        EXPECT_EQ(std::string(static_cast<const char*>(block.data())), "hi");
    }

    // A handler that renders nothing gives no data, never an empty success.
    renderer.mode = RenderHandler::Mode::nothing;
    STGMEDIUM medium{};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = reinterpret_cast<HGLOBAL>(0x1234);
    EXPECT_EQ(object->GetData(&text, &medium), DV_E_FORMATETC);
    EXPECT_EQ(medium.tymed, static_cast<DWORD>(TYMED_NULL));
    EXPECT_EQ(medium.hGlobal, nullptr);

    FORMATETC bitmap = entry(CF_BITMAP, TYMED_GDI);
    EXPECT_EQ(object->GetData(&bitmap, &medium), DV_E_FORMATETC);
    EXPECT_EQ(renderer.calls, 2);
}

TEST_F(DataObject, AHandlersExceptionWaitsForTheLibrary)
{
    renderer.mode = RenderHandler::Mode::fail;
    FORMATETC text = entry(CF_TEXT, TYMED_HGLOBAL);
    STGMEDIUM medium{};
    EXPECT_NE(object->GetData(&text, &medium), S_OK);
    EXPECT_EQ(medium.tymed, static_cast<DWORD>(TYMED_NULL));
    ASSERT_TRUE(ICallbackGuard::hasPending());
    EXPECT_THROW(ICallbackGuard::rethrowPending(), IException);
}

TEST_F(DataObject, EnumeratesForGettingOnly)
{
    IEnumFORMATETC* formats = nullptr;
    EXPECT_EQ(object->EnumFormatEtc(DATADIR_SET, &formats), E_INVALIDARG);
    EXPECT_EQ(formats, nullptr);
    ASSERT_EQ(object->EnumFormatEtc(DATADIR_GET, &formats), S_OK);
    FORMATETC out[2] = {};
    ULONG fetched = 0;
    EXPECT_EQ(formats->Next(2, out, &fetched), S_OK);
    EXPECT_EQ(out[0].cfFormat, CF_TEXT);
    formats->Release();
    EXPECT_EQ(object->GetCanonicalFormatEtc(out, out + 1), DATA_S_SAMEFORMATETC);
    EXPECT_EQ(object->DAdvise(out, 0, nullptr, nullptr), OLE_E_ADVISENOTSUPPORTED);
    EXPECT_EQ(object->DUnadvise(0), E_FAIL);
    EXPECT_EQ(object->SetData(out, nullptr, FALSE), E_NOTIMPL);
}

} // namespace
