#include "tests/support/in_memory_forms.h"

#include <algorithm>

namespace krv {

std::vector<FormRecord>::iterator InMemoryFormStore::Locate(std::u16string_view name) {
    return std::find_if(forms_.begin(), forms_.end(),
                        [&](const FormRecord& f) { return f.name == name; });
}

const FormRecord* InMemoryFormStore::Find(std::u16string_view name) const {
    const auto it = std::find_if(forms_.begin(), forms_.end(),
                                 [&](const FormRecord& f) { return f.name == name; });
    return it == forms_.end() ? nullptr : &*it;
}

bool InMemoryFormStore::Enumerate(std::vector<FormRecord>* out) {
    out->clear();
    if (Failing(Op::Enumerate)) return false;
    *out = forms_;
    return true;
}

bool InMemoryFormStore::Add(const FormRecord& form) {
    if (Failing(Op::Add) || Find(form.name)) return false;
    forms_.push_back(form);
    return true;
}

bool InMemoryFormStore::Set(std::u16string_view name, const FormRecord& form) {
    if (Failing(Op::Set)) return false;
    const auto existing = Locate(name);
    if (existing == forms_.end()) return false;
    // The form keeps its name; the spooler changes only the flags, size and area.
    existing->flags = form.flags;
    existing->width = form.width;
    existing->height = form.height;
    existing->imageableArea = form.imageableArea;
    return true;
}

bool InMemoryFormStore::Delete(std::u16string_view name) {
    if (Failing(Op::Delete)) return false;
    const auto it = Locate(name);
    if (it == forms_.end()) return false;
    forms_.erase(it);
    return true;
}

}  // namespace krv
