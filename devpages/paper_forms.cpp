#include "devpages/paper_forms.h"

#include <algorithm>

namespace krv {

namespace {

std::u16string DecimalText(int32_t value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

// The spooler keeps the value as typed into a signed field, but the range check is made on
// the unsigned reading, so anything negative lands on the upper bound.
ClampedSize Clamp(int32_t typed, int32_t low, int32_t high) {
    const auto reading = static_cast<uint32_t>(typed);
    ClampedSize out;
    out.value = typed;
    if (reading < static_cast<uint32_t>(low)) {
        out.value = low;
        out.corrected = true;
    } else if (reading > static_cast<uint32_t>(high)) {
        out.value = high;
        out.corrected = true;
    }
    out.text = DecimalText(out.value);
    return out;
}

FormRecord SizedForm(std::u16string name, int32_t width, int32_t height) {
    return WholeSheetForm(std::move(name), static_cast<uint32_t>(width) * kFormUnitsPerPageUnit,
                          static_cast<uint32_t>(height) * kFormUnitsPerPageUnit);
}

}  // namespace

ClampedSize ClampFormWidth(int32_t typed) {
    return Clamp(typed, kMinFormWidth, kMaxFormWidth);
}

ClampedSize ClampFormHeight(int32_t typed) {
    return Clamp(typed, kMinFormHeight, kMaxFormHeight);
}

bool IsCustomPaperName(std::u16string_view formName) {
    return formName.find(kCustomPaperPrefix) != std::u16string_view::npos;
}

std::u16string_view CustomPaperSuffix(std::u16string_view formName) {
    if (formName.size() < kCustomPaperPrefixLength) return {};
    return formName.substr(kCustomPaperPrefixLength);
}

const FormRecord* PaperFormsPage::FindForm(const std::vector<FormRecord>& forms,
                                           std::u16string_view name) const {
    const auto it = std::find_if(forms.begin(), forms.end(),
                                 [&](const FormRecord& f) { return f.name == name; });
    return it == forms.end() ? nullptr : &*it;
}

bool PaperFormsPage::Initialise() {
    view_ = {};
    std::vector<FormRecord> forms;
    if (!forms_.Enumerate(&forms)) return false;
    if (!FindForm(forms, kPluginFormName)) {
        const auto plugin =
            WholeSheetForm(std::u16string(kPluginFormName), kPluginFormWidth, kPluginFormHeight);
        if (!forms_.Add(plugin)) return false;
    }
    if (!forms_.Enumerate(&forms)) return false;
    // The plug-in form always heads the list; the others follow in the server's order.
    if (const auto* plugin = FindForm(forms, kPluginFormName)) {
        view_.entries.emplace_back(plugin->name);
        view_.width = plugin->width / kFormUnitsPerPageUnit;
        view_.height = plugin->height / kFormUnitsPerPageUnit;
    }
    for (const auto& form : forms) {
        if (form.name != kPluginFormName && IsCustomPaperName(form.name))
            view_.entries.push_back(form.name);
    }
    SelectEntry(0);
    return true;
}

void PaperFormsPage::SelectEntry(int index) {
    const bool valid = index >= 0 && static_cast<size_t>(index) < view_.entries.size();
    view_.selection = valid ? index : -1;
    ShowSelection();
}

void PaperFormsPage::NameEdited(std::u16string_view text) {
    view_.nameText = text;
    UpdateDeleteButton();
}

void PaperFormsPage::UpdateDeleteButton() {
    view_.deleteEnabled = view_.selection >= 0 && view_.entries[view_.selection] != kPluginFormName;
}

void PaperFormsPage::ShowSelection() {
    if (view_.selection < 0) {
        view_.nameText.clear();
        UpdateDeleteButton();
        return;
    }
    const std::u16string& name = view_.entries[view_.selection];
    view_.nameText = CustomPaperSuffix(name);
    UpdateDeleteButton();
    std::vector<FormRecord> forms;
    if (!forms_.Enumerate(&forms)) return;
    if (const auto* form = FindForm(forms, name)) {
        view_.width = form->width / kFormUnitsPerPageUnit;
        view_.height = form->height / kFormUnitsPerPageUnit;
    }
}

SetPaperSizeResult PaperFormsPage::SetPaperSize(int32_t width, int32_t height,
                                                std::u16string_view typedName) {
    SetPaperSizeResult result;
    result.width = ClampFormWidth(width);
    result.height = ClampFormHeight(height);
    view_.width = static_cast<uint32_t>(result.width.value);
    view_.height = static_cast<uint32_t>(result.height.value);
    std::vector<FormRecord> forms;
    if (!forms_.Enumerate(&forms)) return result;
    auto named = [&](std::u16string_view suffix) {
        return std::find_if(forms.begin(), forms.end(), [&](const FormRecord& f) {
            return IsCustomPaperName(f.name) && CustomPaperSuffix(f.name) == suffix;
        });
    };
    // A listed form is found by its whole name, however long (the list shows forms made
    // elsewhere). A new name is what a user can type: at most 18 characters, so that a form
    // the page makes never has more than 31.
    std::u16string name(typedName);
    auto existing = named(name);
    if (existing == forms.end()) {
        name.resize(std::min(name.size(), static_cast<size_t>(kFormNameEditLimit)));
        existing = named(name);
    }
    view_.nameText = name;
    if (existing != forms.end()) {
        result.ok = forms_.Set(existing->name,
                               SizedForm(existing->name, result.width.value, result.height.value));
        return result;
    }
    std::u16string fullName = std::u16string(kCustomPaperPrefix) + name;
    if (!forms_.Add(SizedForm(fullName, result.width.value, result.height.value))) return result;
    result.ok = true;
    result.created = true;
    // A stale entry of the same name (a form removed behind the page's back) is reused.
    auto entry = std::find(view_.entries.begin(), view_.entries.end(), fullName);
    if (entry == view_.entries.end())
        entry = view_.entries.insert(view_.entries.end(), std::move(fullName));
    view_.selection = static_cast<int>(entry - view_.entries.begin());
    UpdateDeleteButton();
    return result;
}

void PaperFormsPage::DeleteSelected() {
    // The button is disabled for the plug-in form; the rule holds even if it is clicked.
    if (view_.selection < 0 || !view_.deleteEnabled) return;
    const int removed = view_.selection;
    forms_.Delete(view_.entries[removed]);
    view_.entries.erase(view_.entries.begin() + removed);
    const int count = static_cast<int>(view_.entries.size());
    SelectEntry(removed < count ? removed : count - 1);
}

}  // namespace krv
