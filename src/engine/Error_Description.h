#pragma once

#include <QString>

#include <exception>

namespace bc::engine {

// The text an error trap shows after its own fixed text.
QString Error_Description(const std::exception& error);

} // namespace bc::engine
