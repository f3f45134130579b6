// Fuzzes the reader of the drag information (dragdrop/idmdinfo.cpp), which reads what another
// program may have put into a drag: any input must be read or refused, never overrun; what was
// read must be written back and read again to the same record.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include <idmdinfo.hpp>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A copy of exactly the input's size, so that the sanitizer sees a read past its end.
    std::vector<char> bytes(data, data + size);
    IDMDragInfo info;
    if (!info.read(bytes.data(), bytes.size()))
        return 0;
    const std::vector<char> written = info.encoded();
    IDMDragInfo again;
    if (!again.read(written.data(), written.size()) || again.encoded() != written)
        std::abort();
    return 0;
}
