// Logo sources given to the tool, checked and converted as the logo page does (see
// logo_sources.cpp), and the page's messages on one line with an English gloss.
#pragma once

#include <string>

#include "jobs/logo_jobs.h"
#include "devpages/logo_rows.h"
#include "tools/tool_pictures.h"

namespace krv::tool {

// The page's message for the tool's one-line form: line breaks become blanks and a short
// English gloss follows.
std::string PageMessage(const std::string& message);

// Converts a source into its work bitmap `workFile` in `mode`; refused naming the source where
// the page refuses to add it.
ConvertResult ConvertSource(const SourcePicture& source, const std::string& workFile, LogoMode mode,
                            const LogoRowSettings& settings);
// Reads, checks and converts the source at `path`: the row the jobs read. Refused naming the
// source when any step fails.
LogoRowFiles PrepareLogoSource(const std::string& path, const std::string& workFile, LogoMode mode,
                               const LogoRowSettings& settings);
// Why a conversion failed, in words.
std::string ConvertFailure(const ConvertResult& result);

}  // namespace krv::tool
