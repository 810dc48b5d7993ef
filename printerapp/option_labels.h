// What the web interface and IPP clients show for the application's options, their values
// and the media, in English and in Simplified Chinese (the Windows pages' own captions where
// they name the same thing): "text/strings" data as PAPPL serves it (`"key" = "text";`, keys
// "option" and "option.value").
#pragma once

#include <string>
#include <string_view>

namespace krv::app {

enum class Language { English, Chinese };

// The labels in one language, one line a key.
std::string OptionStrings(Language language);

// One `"key" = "text";` line, with the quotes, backslashes and line breaks of both escaped.
void AppendStringsLine(std::string& out, std::string_view key, std::string_view text);

}  // namespace krv::app
