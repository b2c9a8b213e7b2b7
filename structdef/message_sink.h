#pragma once

#include <functional>
#include <string_view>

// Shows one report and returns when the user has seen it (a modal message box in the window
// program); the work that reported goes on afterwards.
using MessageSink = std::function<void(std::string_view text, std::string_view caption)>;
