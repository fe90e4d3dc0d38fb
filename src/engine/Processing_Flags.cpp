#include "engine/Processing_Flags.h"

namespace bc::engine {

Processing_Flags& Flags()
{
    static Processing_Flags flags;
    return flags;
}

} // namespace bc::engine
