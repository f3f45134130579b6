// Error information: the text of the last error of some facility, as the base library hands it
// to whoever shows it.
#pragma once

#include "ibase.hpp"

class IErrorInformation : public IBase {
public:
    virtual ~IErrorInformation() = default;
    // The error's text; never null.
    virtual const char* text() const = 0;

protected:
    IErrorInformation() = default;
    IErrorInformation(const IErrorInformation&) = default;
    IErrorInformation& operator=(const IErrorInformation&) = default;
};
