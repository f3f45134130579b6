// The drag information in an OLE stream.
#include <windows.h>

#include <vector>

#include <iexcept.hpp>

#include <detail/iscoped.hpp>

#include "idmdistr.hpp"

const char* const IDMDragInfoStream::formatName = "ZUQ_DRAGINFO";

CLIPFORMAT IDMDragInfoStream::format()
{
    return static_cast<CLIPFORMAT>(RegisterClipboardFormatA(formatName));
}

IStream* IDMDragInfoStream::create(const IDMDragInfo& info)
{
    std::vector<char> bytes;
    try {
        bytes = info.encoded();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    ovk_native::ComReference<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.put())) || !stream)
        return nullptr;
    ULONG written = 0;
    const LARGE_INTEGER start{};
    if (FAILED(stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written)) ||
        written != bytes.size() || FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr)))
        return nullptr;
    return stream.release();
}

std::unique_ptr<IDMDragInfo> IDMDragInfoStream::read(IStream* stream)
{
    const char* function = "IDMDragInfoStream::read(IStream*)";
    STATSTG status{};
    if (!stream || FAILED(stream->Stat(&status, STATFLAG_NONAME)) ||
        status.cbSize.QuadPart > IDMDragInfo::maximumSize)
        return nullptr;
    std::vector<char> bytes(static_cast<std::size_t>(status.cbSize.QuadPart));
    const LARGE_INTEGER start{};
    HRESULT result = stream->Seek(start, STREAM_SEEK_SET, nullptr);
    ULONG read = 0;
    if (SUCCEEDED(result) && !bytes.empty())
        result = stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    if (FAILED(result))
        IThrow::systemError("IStream", static_cast<IException::ErrorId>(result),
                            IExceptionLocation("idmdistr", function, __LINE__));
    // Another program's stream may report more than it was asked for; the count is believed
    // only as far as the buffer goes, and a stream that claims more holds no drag information.
    if (read > bytes.size())
        return nullptr;
    auto info = std::make_unique<IDMDragInfo>();
    if (!info->read(bytes.data(), read))
        return nullptr;
    return info;
}
