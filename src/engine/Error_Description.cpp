#include "engine/Error_Description.h"

#include "outlook/Object_Model.h"

namespace bc::engine {

QString Error_Description(const std::exception& error)
{
    if (const auto* outlookError = dynamic_cast<const outlook::Outlook_Error*>(&error))
        return outlookError->Description();
    return QString::fromLocal8Bit(error.what());
}

} // namespace bc::engine
