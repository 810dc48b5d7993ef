// The Windows tests link their own winspool functions in place of the system's: every RAW job
// the pages submit is recorded, and forms live in memory. The plug-in code is unchanged; only
// the test program's link resolves these names to the recorder.
#pragma once

#include "channel/forms_seam.h"
#include "channel/raw_printer_channel.h"

namespace krv::test {

// The spooler every page of the test program talks to. Reset between tests.
RecordingSpooler& Spooler();
InMemoryFormStore& Forms();
void ResetSpooler();



}  // namespace krv::test
