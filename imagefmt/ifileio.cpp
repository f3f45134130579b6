// The codecs' file layer over the run-time library's low-level calls.
#include "detail/ifileio.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace imgfmt {

namespace {
// One call moves at most this much, so that the count fits the run-time library's int (and on
// Windows its unsigned) parameter on every target.
constexpr int64_t kChunk = 1 << 30;
}

int fileOpenRead(const char* path)
{
    if (!path)
        return -1;
#if defined(_WIN32)
    return _open(path, _O_RDONLY | _O_BINARY);
#else
    return ::open(path, O_RDONLY | O_CLOEXEC);
#endif
}

int fileOpenWrite(const char* path)
{
    if (!path)
        return -1;
#if defined(_WIN32)
    return _open(path, _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
    return ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
#endif
}

int fileRead(int fd, void* buffer, int count)
{
    if (count <= 0)
        return 0;
#if defined(_WIN32)
    return _read(fd, buffer, static_cast<unsigned>(count));
#else
    return static_cast<int>(::read(fd, buffer, static_cast<size_t>(count)));
#endif
}

int fileWrite(int fd, const void* buffer, int count)
{
    if (count <= 0)
        return 0;
#if defined(_WIN32)
    return _write(fd, buffer, static_cast<unsigned>(count));
#else
    return static_cast<int>(::write(fd, buffer, static_cast<size_t>(count)));
#endif
}

namespace {

// Repeats a call that transfers at most an int's worth of bytes until count bytes are done or
// the call transfers none: call(bytesDone, want) answers the bytes it transferred, or <= 0.
template <class Call>
int64_t repeated(int64_t count, Call call)
{
    int64_t done = 0;
    while (done < count) {
        const int64_t want = count - done < kChunk ? count - done : kChunk;
        const int got = call(done, static_cast<int>(want));
        if (got <= 0)
            break;
        done += got;
    }
    return done;
}

}  // namespace

int64_t fileReadFull(int fd, void* buffer, int64_t count)
{
    auto* target = static_cast<unsigned char*>(buffer);
    return repeated(count,
                    [&](int64_t done, int want) { return fileRead(fd, target + done, want); });
}

int64_t fileWriteFull(int fd, const void* buffer, int64_t count)
{
    const auto* source = static_cast<const unsigned char*>(buffer);
    return repeated(count,
                    [&](int64_t done, int want) { return fileWrite(fd, source + done, want); });
}

int fileReadAt(int fd, int64_t offset, void* buffer, int count)
{
    if (offset < 0)
        return -1;
    if (count <= 0)
        return 0;
#if defined(_WIN32)
    if (fileSeek(fd, offset, FileSeekSet) != offset)
        return -1;
    return _read(fd, buffer, static_cast<unsigned>(count));
#else
    return static_cast<int>(
        ::pread(fd, buffer, static_cast<size_t>(count), static_cast<off_t>(offset)));
#endif
}

int64_t fileReadFullAt(int fd, int64_t offset, void* buffer, int64_t count)
{
    auto* target = static_cast<unsigned char*>(buffer);
    return repeated(count, [&](int64_t done, int want) {
        return fileReadAt(fd, offset + done, target + done, want);
    });
}

int64_t fileSeek(int fd, int64_t offset, int whence)
{
#if defined(_WIN32)
    return _lseeki64(fd, offset, whence);
#else
    return ::lseek(fd, static_cast<off_t>(offset), whence);
#endif
}

int64_t fileTell(int fd)
{
#if defined(_WIN32)
    return _telli64(fd);
#else
    return ::lseek(fd, 0, SEEK_CUR);
#endif
}

int64_t fileSize(int fd)
{
#if defined(_WIN32)
    struct _stati64 st;
    if (_fstati64(fd, &st) != 0)
        return -1;
#else
    struct stat st;
    if (::fstat(fd, &st) != 0)
        return -1;
#endif
    // A pipe or a device has no size of its own: ask where its end is, as seeking finds it.
    if ((st.st_mode & S_IFMT) != S_IFREG) {
        const int64_t here = fileTell(fd);
        if (here < 0)
            return -1;
        const int64_t end = fileSeek(fd, 0, FileSeekEnd);
        fileSeek(fd, here, FileSeekSet);
        return end;
    }
    return static_cast<int64_t>(st.st_size);
}

int fileClose(int fd)
{
#if defined(_WIN32)
    return _close(fd);
#else
    return ::close(fd);
#endif
}

int fileUnlink(const char* path)
{
#if defined(_WIN32)
    return _unlink(path);
#else
    return ::unlink(path);
#endif
}

}  // namespace imgfmt
