// The spooler's forms (user paper sizes) behind a seam: enumerate, add, set and delete by
// name, all at level 1. The DLL reaches the printer server's forms through winspool.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace krv {

// A rectangle in thousandths of a millimetre.
struct FormArea {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    bool operator==(const FormArea&) const = default;
};

// One level-1 form record: flags (0 = a user form), name, size in thousandths of a millimetre
// and the imageable area.
struct FormRecord {
    uint32_t flags = 0;
    std::u16string name;
    uint32_t width = 0;
    uint32_t height = 0;
    FormArea imageableArea;

    bool operator==(const FormRecord&) const = default;
};

// A user form of the given size whose imageable area is the whole sheet.
FormRecord WholeSheetForm(std::u16string name, uint32_t width, uint32_t height);

class FormsSeam {
  public:
    virtual ~FormsSeam() = default;
    // Every form of the printer's server, in the server's order. False when the server
    // cannot list them (then `out` is left empty).
    virtual bool Enumerate(std::vector<FormRecord>* out) = 0;
    // Creates a form; fails when one of that name exists.
    virtual bool Add(const FormRecord& form) = 0;
    // Replaces the size and area of the form called `name`; fails when there is none.
    virtual bool Set(std::u16string_view name, const FormRecord& form) = 0;
    // Removes the form called `name`; fails when there is none.
    virtual bool Delete(std::u16string_view name) = 0;
};

}  // namespace krv
