// Forms held in memory, in insertion order, with names compared exactly. Any operation can be
// made to fail, so the callers' failure paths can be tested.
#pragma once

#include <string_view>
#include <vector>

#include "channel/forms_seam.h"

namespace krv {

class InMemoryFormStore : public FormsSeam {
  public:
    enum class Op { Enumerate, Add, Set, Delete };

    InMemoryFormStore() = default;
    explicit InMemoryFormStore(std::vector<FormRecord> forms) : forms_(std::move(forms)) {}

    bool Enumerate(std::vector<FormRecord>* out) override;
    bool Add(const FormRecord& form) override;
    bool Set(std::u16string_view name, const FormRecord& form) override;
    bool Delete(std::u16string_view name) override;

    // Makes every later call of `op` fail (or succeed again with `fail` = false).
    void Fail(Op op, bool fail = true) { failing_[static_cast<int>(op)] = fail; }

    // The store's content, and a look-up by exact name (nullptr when absent).
    const std::vector<FormRecord>& forms() const { return forms_; }
    const FormRecord* Find(std::u16string_view name) const;

  private:
    bool Failing(Op op) const { return failing_[static_cast<int>(op)]; }
    std::vector<FormRecord>::iterator Locate(std::u16string_view name);
    std::vector<FormRecord> forms_;
    bool failing_[4] = {};
};

}  // namespace krv
