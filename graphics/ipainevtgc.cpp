// The paint event's graphic-context form: the paint event is a window event, which knows the
// graphic context by name only, so its one use of the context lives with the context.
#include "igrafctx.hpp"

#include <ipainevt.hpp>

IPaintEvent& IPaintEvent::setGraphicContext(const IGraphicContext& context, IBase::Boolean clip)
{
    return setPresSpaceHandle(context.handle(), clip);
}
