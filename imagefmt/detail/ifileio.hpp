// The file layer of the image codecs: a thin portable wrapper over the run-time library's
// low-level calls (_open, _read, _write, _lseek, _tell, _close, _unlink on Windows, their POSIX
// namesakes elsewhere), so that the codecs build and are tested natively as well.
//
// Codecs do all their file input and output through these functions, never through <io.h> or
// <unistd.h> directly: a descriptor is the run-time library's int descriptor.
#pragma once

#include <idefs.hpp>

#include <cstddef>
#include <cstdint>

namespace imgfmt {

enum : int { FileSeekSet = 0, FileSeekCur = 1, FileSeekEnd = 2 };

// Opens for reading in binary mode: the descriptor, or -1.
OVKWIN_API int fileOpenRead(const char* path);
// Opens for writing in binary mode, creating or truncating, readable and writable: the
// descriptor, or -1.
OVKWIN_API int fileOpenWrite(const char* path);
// One read or write call: the bytes transferred, 0 at the end of the file, -1 on error.
OVKWIN_API int fileRead(int fd, void* buffer, int count);
OVKWIN_API int fileWrite(int fd, const void* buffer, int count);
// Repeats the call until count bytes are transferred or the file ends or fails: the bytes
// transferred (less than count only at the end of the file or on an error).
OVKWIN_API int64_t fileReadFull(int fd, void* buffer, int64_t count);
OVKWIN_API int64_t fileWriteFull(int fd, const void* buffer, int64_t count);
// One read call at a file offset, and the same repeated as fileReadFull repeats fileRead. On
// POSIX systems the file position stays where it was; the Windows run-time library has no
// positional read, so there the call seeks first and leaves the position behind what it read.
OVKWIN_API int fileReadAt(int fd, int64_t offset, void* buffer, int count);
OVKWIN_API int64_t fileReadFullAt(int fd, int64_t offset, void* buffer, int64_t count);
// The new position, or -1 (a negative resulting position is an error).
OVKWIN_API int64_t fileSeek(int fd, int64_t offset, int whence);
OVKWIN_API int64_t fileTell(int fd);
// The file's size in bytes, or -1; the position is left where it was.
OVKWIN_API int64_t fileSize(int fd);
OVKWIN_API int fileClose(int fd);
OVKWIN_API int fileUnlink(const char* path);

}  // namespace imgfmt
