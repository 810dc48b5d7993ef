// The spooler and forms seams over winspool, on the printer handle the host gave the sheet.
// The plug-in never opens or closes printer handles itself.
#pragma once

#include <windows.h>

#include "channel/forms_seam.h"
#include "channel/raw_printer_channel.h"

namespace krv {

class WinspoolSpooler : public SpoolerSeam {
  public:
    explicit WinspoolSpooler(HANDLE printer) : printer_(printer) {}
    bool StartDocument(std::string_view documentName, std::string_view dataType) override;
    bool StartPage() override;
    bool Write(const uint8_t* data, uint32_t length, uint32_t* written) override;
    bool EndPage() override;
    bool EndDocument() override;

  private:
    HANDLE printer_;
};

class WinspoolForms : public FormsSeam {
  public:
    explicit WinspoolForms(HANDLE printer) : printer_(printer) {}
    bool Enumerate(std::vector<FormRecord>* out) override;
    bool Add(const FormRecord& form) override;
    bool Set(std::u16string_view name, const FormRecord& form) override;
    bool Delete(std::u16string_view name) override;

  private:
    HANDLE printer_;
};

// One RAW job on `printer` (the common-UI block's handle); false on any spooler failure.
bool SendRawJobToPrinter(HANDLE printer, const PrinterJob& job, SendOptions options = {});

}  // namespace krv
