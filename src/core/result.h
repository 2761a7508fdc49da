#pragma once

#include <QString>

#include <expected>

// What an operation that can fail returns: its value, or a message for the
// user saying why it failed. Nothing in the program throws.
template <typename T> using Result = std::expected<T, QString>;
