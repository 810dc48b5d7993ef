// What the web interface and IPP clients show for the application's options, their values
// and the media: English labels in the "text/strings" form PAPPL serves (`"key" = "text";`,
// keys "option" and "option.value"). Other languages come with the maintenance pages.
#pragma once

#include <string>

namespace krv::app {

// Built once; stays valid for the life of the program (PAPPL keeps a pointer to it).
const std::string& EnglishStrings();

}  // namespace krv::app
