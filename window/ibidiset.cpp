// Bidirectional-text settings on a platform without bidirectional support.
#include <iexcept.hpp>
#include <ovkmsgid.hpp>

#include "ibidiset.hpp"

IBase::Boolean IBidiSettings::isBidiSupported()
{
    return false;
}

void IBidiSettings::unsupported(const char* function)
{
    IThrow::message(OVK_MSG_BIDI_NOT_SUPPORTED, IEXCEPTION_LOCATION("ibidiset", function));
}

IBidiSettings::IBidiSettings(const IWindow&)
{
    unsupported("IBidiSettings::IBidiSettings(const IWindow&)");
}

IBidiSettings::IBidiSettings(const IWindowHandle)
{
    unsupported("IBidiSettings::IBidiSettings(const IWindowHandle)");
}

IBidiSettings::IBidiSettings(const IPresSpaceHandle)
{
    unsupported("IBidiSettings::IBidiSettings(const IPresSpaceHandle)");
}

IBidiSettings::IBidiSettings(const IGraphicContext&)
{
    unsupported("IBidiSettings::IBidiSettings(const IGraphicContext&)");
}

void IBidiSettings::apply(const IWindow&, IBase::Boolean, IBase::Boolean) const
{
    unsupported("IBidiSettings::apply(const IWindow&,int,int) const");
}

IWindow::BidiSettings::BidiSettings(const IWindow& window) : fSettings(window) {}

IWindow& IWindow::applyBidiSettings(const BidiSettings& settings, IBase::Boolean childInherit,
                                    IBase::Boolean refresh)
{
    settings.settings().apply(*this, childInherit, refresh);
    return *this;
}
