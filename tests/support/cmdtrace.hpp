// A command handler that keeps the ids of the commands its windows hear, and handles them.
#pragma once

#include <string>

#include <icmdhdr.hpp>

namespace ovktest {

// The ids in the order they came, separated by blanks: "1 2".
class CommandTrace : public ICommandHandler {
public:
    std::string trace;

protected:
    IBase::Boolean command(ICommandEvent& event) override
    {
        trace += (trace.empty() ? "" : " ") + std::to_string(event.commandId());
        return true;
    }
};

} // namespace ovktest
