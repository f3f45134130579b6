// Exceptions, their locations and the throw helpers.
#include "iexcept.hpp"

#include "imsgtext.hpp"

#include <vector>

// ---------------------------------------------------------------------------------------------
// IExceptionLocation

IExceptionLocation::IExceptionLocation(const char* fileName, const char* functionName,
                                       unsigned long lineNumber)
    : fFileName(fileName), fFunctionName(functionName), fLineNumber(lineNumber) {}

IExceptionLocation::IExceptionLocation(const IString& fileName, const IString& functionName,
                                       unsigned long lineNumber)
    : fFileName(fileName), fFunctionName(functionName), fLineNumber(lineNumber) {}

IString IExceptionLocation::asString() const {
    return fFileName + "(" + IString(fLineNumber) + ") " + fFunctionName;
}

// ---------------------------------------------------------------------------------------------
// IException

struct IException::Data {
    std::vector<IString> texts;
    std::vector<IExceptionLocation> locations;
    IString what;
    ErrorId errorId = 0;
    Severity severity = recoverable;

    void updateWhat() {
        IString text;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            if (i != 0) text += '\n';
            text += texts[i];
        }
        what = text;
    }
};

IException::IException(const IString& text, ErrorId errorId, Severity severity)
    : fData(std::make_shared<Data>()) {
    fData->texts.push_back(text);
    fData->errorId = errorId;
    fData->severity = severity;
    fData->updateWhat();
}

IException::IException(const IException& other) noexcept = default;
IException& IException::operator=(const IException& other) noexcept = default;
IException::~IException() = default;

// Copies share one record; the first change made through a copy gives it a record of its own,
// so that changing a caught copy never changes the exception another handler holds.
IException::Data& IException::unshared() {
    if (fData.use_count() > 1) fData = std::make_shared<Data>(*fData);
    return *fData;
}

IBase::Boolean IException::isRecoverable() const { return fData->severity != unrecoverable; }

const char* IException::name() const noexcept { return "IException"; }

const char* IException::what() const noexcept { return fData->what; }

std::size_t IException::textCount() const noexcept { return fData->texts.size(); }

IString IException::text(std::size_t index) const {
    return index < fData->texts.size() ? fData->texts[index] : IString();
}

IException& IException::appendText(const IString& text) {
    Data& data = unshared();
    data.texts.push_back(text);
    data.updateWhat();
    return *this;
}

IException& IException::setText(const IString& text) {
    Data& data = unshared();
    if (data.texts.empty()) {
        data.texts.push_back(text);
    } else {
        data.texts.back() = text;
    }
    data.updateWhat();
    return *this;
}

IException::ErrorId IException::errorId() const noexcept { return fData->errorId; }

IException& IException::setErrorId(ErrorId errorId) {
    unshared().errorId = errorId;
    return *this;
}

IException::Severity IException::severity() const noexcept { return fData->severity; }

IException& IException::setSeverity(Severity severity) {
    unshared().severity = severity;
    return *this;
}

IException& IException::addLocation(const IExceptionLocation& location) {
    unshared().locations.push_back(location);
    return *this;
}

std::size_t IException::locationCount() const noexcept { return fData->locations.size(); }

const IExceptionLocation* IException::locationAtIndex(std::size_t index) const noexcept {
    return index < fData->locations.size() ? &fData->locations[index] : nullptr;
}

// ---------------------------------------------------------------------------------------------
// The kinds

IInvalidParameter::IInvalidParameter(const IString& condition, ErrorId errorId, Severity severity)
    : IException(condition, errorId, severity) {}
const char* IInvalidParameter::name() const noexcept { return "IInvalidParameter"; }

IInvalidRequest::IInvalidRequest(const IString& condition, Severity severity)
    : IException(condition, 0, severity) {}
IInvalidRequest::IInvalidRequest(ErrorId messageNumber, Severity severity)
    : IException(IMessageText::textFor(messageNumber), messageNumber, severity) {}
const char* IInvalidRequest::name() const noexcept { return "IInvalidRequest"; }

INullReferenceError::INullReferenceError() : IInvalidRequest(messageNumber, recoverable) {}
const char* INullReferenceError::name() const noexcept { return "INullReferenceError"; }

ISystemError::ISystemError(const IString& callName, ErrorId errorCode, Severity severity)
    : IException(callName, errorCode, severity) {}
const char* ISystemError::name() const noexcept { return "ISystemError"; }

IRuntimeError::IRuntimeError(const IString& text, ErrorId code, Severity severity)
    : IException(text, code, severity) {}
const char* IRuntimeError::name() const noexcept { return "IRuntimeError"; }

// ---------------------------------------------------------------------------------------------
// IThrow

void IThrow::argument(const IString& condition, const IExceptionLocation& location) {
    exception(IInvalidParameter(condition), location);
}

void IThrow::state(const IString& condition, const IExceptionLocation& location) {
    exception(IInvalidRequest(condition), location);
}

void IThrow::message(IException::ErrorId messageNumber, const IExceptionLocation& location,
                     IException::Severity severity) {
    exception(IInvalidRequest(messageNumber, severity), location);
}

void IThrow::systemError(const IString& callName, IException::ErrorId errorCode,
                         const IExceptionLocation& location, IException::Severity severity) {
    exception(ISystemError(callName, errorCode, severity), location);
}

void IThrow::runtime(const IString& text, const IExceptionLocation& location,
                     IException::ErrorId code) {
    exception(IRuntimeError(text, code), location);
}

void IThrow::reference(const IExceptionLocation& location) {
    exception(INullReferenceError(), location);
}
