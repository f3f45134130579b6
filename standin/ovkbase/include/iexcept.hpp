// The base library's exceptions, where each was thrown, and the helpers that throw them.
#pragma once

#include "ibase.hpp"
#include "ibasedef.hpp"
#include "istring.hpp"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>

// Where an exception was thrown or passed through: the source file (the library's file names
// are part of its behaviour, "ithread", "ireslib1"), the function's full signature and the line.
class OVKBASE_API IExceptionLocation {
public:
    IExceptionLocation(const char* fileName, const char* functionName,
                       unsigned long lineNumber = 0);
    IExceptionLocation(const IString& fileName, const IString& functionName,
                       unsigned long lineNumber = 0);

    const IString& fileName() const noexcept { return fFileName; }
    const IString& functionName() const noexcept { return fFunctionName; }
    unsigned long lineNumber() const noexcept { return fLineNumber; }
    // "file(line) function".
    IString asString() const;

private:
    IString fFileName;
    IString fFunctionName;
    unsigned long fLineNumber;
};

// The location of the current line, for throw sites whose line is not fixed by the design.
#define IEXCEPTION_LOCATION(fileName, functionName) \
    IExceptionLocation((fileName), (functionName), static_cast<unsigned long>(__LINE__))

// The root of every exception of the base library and of the library built on it.
//
// An exception carries a stack of texts (text(0) is the text it was made with; appendText adds
// context on top), an error id (a message number or the system's error code), a severity and
// the list of locations it was thrown from and passed through (addLocation before rethrowing).
// Copies share their contents until one of them changes, so copying never throws.
class OVKBASE_API IException : public std::exception {
public:
    // Numbered as the message box shows them: a recoverable error as "error" (3), an
    // unrecoverable one as "fatal" (4).
    enum Severity { recoverable = 3, unrecoverable = 4 };
    using ErrorId = std::uint32_t;

    explicit IException(const IString& text, ErrorId errorId = 0, Severity severity = recoverable);
    IException(const IException& other) noexcept;
    IException& operator=(const IException& other) noexcept;
    ~IException() override;

    // True unless the severity is unrecoverable. The first virtual operation after the
    // destructor: the message box asks it to choose between "error" and "fatal".
    virtual IBase::Boolean isRecoverable() const;
    // The class name, "IException", "IInvalidRequest", ...
    virtual const char* name() const noexcept;

    // text(0), then each further text on a line of its own.
    const char* what() const noexcept override;

    std::size_t textCount() const noexcept;
    // The text at an index counted from the first text (0); empty outside 0..textCount()-1.
    IString text(std::size_t index = 0) const;
    IException& appendText(const IString& text);
    // Replaces the most recently added text.
    IException& setText(const IString& text);

    ErrorId errorId() const noexcept;
    IException& setErrorId(ErrorId errorId);
    Severity severity() const noexcept;
    IException& setSeverity(Severity severity);

    IException& addLocation(const IExceptionLocation& location);
    std::size_t locationCount() const noexcept;
    // The location at an index (0 = where it was thrown); null outside 0..locationCount()-1.
    const IExceptionLocation* locationAtIndex(std::size_t index) const noexcept;

private:
    struct Data;
    Data& unshared();

    std::shared_ptr<Data> fData;
};

// A failed argument check; the text is the failed condition as written, "window!=0".
class OVKBASE_API IInvalidParameter : public IException {
public:
    explicit IInvalidParameter(const IString& condition, ErrorId errorId = 0,
                               Severity severity = recoverable);
    const char* name() const noexcept override;
};

// An invalid request: a failed state check (the text is the failed condition) or an error by
// message number (the text comes from the message catalogue, the error id is the number).
class OVKBASE_API IInvalidRequest : public IException {
public:
    explicit IInvalidRequest(const IString& condition, Severity severity = recoverable);
    explicit IInvalidRequest(ErrorId messageNumber, Severity severity = recoverable);
    const char* name() const noexcept override;
};

// Use of an empty counted reference: an invalid request with message number 58.
class OVKBASE_API INullReferenceError : public IInvalidRequest {
public:
    static constexpr ErrorId messageNumber = 58;
    INullReferenceError();
    const char* name() const noexcept override;
};

// A failed call of the operating system or of an outside interface. The text names the call
// ("TlsAlloc", "WinCreateWindow: Id=12 Class=Edit", "CM_INSERTRECORD"); the error id is the
// system's error code, passed by the caller because the base library does not ask the platform.
class OVKBASE_API ISystemError : public IException {
public:
    static constexpr Severity defaultSeverity = recoverable;
    ISystemError(const IString& callName, ErrorId errorCode, Severity severity = defaultSeverity);
    const char* name() const noexcept override;
};

// Any other failure found at run time, with a text and an optional code.
class OVKBASE_API IRuntimeError : public IException {
public:
    explicit IRuntimeError(const IString& text, ErrorId code = 0, Severity severity = recoverable);
    const char* name() const noexcept override;
};

// Throw helpers: each builds the exception, records the location and throws.
class OVKBASE_API IThrow {
public:
    [[noreturn]] static void argument(const IString& condition, const IExceptionLocation& location);
    [[noreturn]] static void state(const IString& condition, const IExceptionLocation& location);
    [[noreturn]] static void message(IException::ErrorId messageNumber,
                                     const IExceptionLocation& location,
                                     IException::Severity severity = IException::recoverable);
    [[noreturn]] static void systemError(const IString& callName, IException::ErrorId errorCode,
                                         const IExceptionLocation& location,
                                         IException::Severity severity = ISystemError::defaultSeverity);
    [[noreturn]] static void runtime(const IString& text, const IExceptionLocation& location,
                                     IException::ErrorId code = 0);
    [[noreturn]] static void reference(const IExceptionLocation& location);

    // Throws a prepared exception of any kind after adding the location.
    template <class Exception>
    [[noreturn]] static void exception(Exception exception, const IExceptionLocation& location) {
        exception.addLocation(location);
        throw exception;
    }
};

// Checks that name the failed condition exactly as written in the call, at the current line.
#define IARGUMENT_CHECK(condition, fileName, functionName)                                   \
    do {                                                                                     \
        if (!(condition))                                                                    \
            IThrow::argument(#condition, IEXCEPTION_LOCATION((fileName), (functionName)));   \
    } while (false)
#define ISTATE_CHECK(condition, fileName, functionName)                                      \
    do {                                                                                     \
        if (!(condition))                                                                    \
            IThrow::state(#condition, IEXCEPTION_LOCATION((fileName), (functionName)));      \
    } while (false)
