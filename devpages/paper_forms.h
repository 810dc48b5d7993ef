// The application page's user paper sizes: spooler forms whose names begin with
// "Custom Paper-", among them the plug-in's own "Custom Paper-M857", which is created when
// missing and can never be deleted from the page. The rules live here, over the forms seam;
// the dialog procedure only copies PaperFormsView into its controls and calls these
// operations on clicks and notifications.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "channel/forms_seam.h"

namespace krv {

inline constexpr std::u16string_view kCustomPaperPrefix = u"Custom Paper-";
inline constexpr size_t kCustomPaperPrefixLength = 13;
// The plug-in's own form, `PluginForm`: 80 mm x 297 mm, imageable area the whole sheet.
inline constexpr std::u16string_view kPluginFormName = u"Custom Paper-M857";
constexpr uint32_t kPluginFormWidth = 80000;  // thousandths of a millimetre
constexpr uint32_t kPluginFormHeight = 297000;

// The page works in tenths of a millimetre; a form holds thousandths.
constexpr uint32_t kFormUnitsPerPageUnit = 100;
constexpr int32_t kMinFormWidth = 410;
constexpr int32_t kMaxFormWidth = 800;
constexpr int32_t kMinFormHeight = 254;
constexpr int32_t kMaxFormHeight = 32760;
constexpr int kWidthEditLimit = 4;      // characters of the width edit
constexpr int kHeightEditLimit = 5;     // characters of the height edit
constexpr int kFormNameEditLimit = 18;  // characters typed after the prefix (the name edit)
inline constexpr std::u16string_view kWidthRangeText = u"[ 410 - 800 (0.1mm) ]";
inline constexpr std::u16string_view kHeightRangeText = u"[ 254 - 32760 (0.1mm) ]";

inline constexpr std::u16string_view kSetFormFailedMessage = u"设置自定义页面失败!";
inline constexpr std::u16string_view kSetFormFailedCaption = u"自定义页面";

// A typed size brought into its range. The edit holds a signed number, but the comparison is
// unsigned, so a negative entry counts as too large: -5 becomes the maximum.
struct ClampedSize {
    int32_t value = 0;       // tenths of a millimetre, within the range
    bool corrected = false;  // the edit must show `text` instead of what was typed
    std::u16string text;     // the corrected value as the edit shows it ("410", "800", ...)
};
ClampedSize ClampFormWidth(int32_t typed);
ClampedSize ClampFormHeight(int32_t typed);

// True for a name the page lists: it contains "Custom Paper-".
bool IsCustomPaperName(std::u16string_view formName);
// The part of a listed name after its first 13 characters (what the name edit shows).
std::u16string_view CustomPaperSuffix(std::u16string_view formName);

// What the page's controls show.
struct PaperFormsView {
    std::vector<std::u16string> entries;  // the list; the plug-in form first
    int selection = -1;                   // -1: nothing selected
    std::u16string nameText;              // the name edit
    bool deleteEnabled = false;           // "删除纸张尺寸"
    uint32_t width = 0;                   // the width edit and its up-down, tenths of a mm
    uint32_t height = 0;                  // the height edit and its up-down
};

struct SetPaperSizeResult {
    ClampedSize width;
    ClampedSize height;
    bool ok = false;       // false: show kSetFormFailedMessage
    bool created = false;  // a new form was added (else an existing one was resized)
};

class PaperFormsPage {
  public:
    explicit PaperFormsPage(FormsSeam& forms) : forms_(forms) {}

    // Creates the plug-in form when missing and fills the list. False when the forms cannot
    // be listed or the plug-in form cannot be created: the page then stays empty.
    bool Initialise();
    // The list selection changed to `index`.
    void SelectEntry(int index);
    // The name edit changed; the delete button follows the list's selection.
    void NameEdited(std::u16string_view text);
    // "设置纸张尺寸": clamps the typed size, then resizes the form whose name after the prefix
    // equals `typedName`, or adds "Custom Paper-" + `typedName` cut to the 18 characters a
    // user can type (resizing the form of that name when there is one).
    SetPaperSizeResult SetPaperSize(int32_t width, int32_t height, std::u16string_view typedName);
    // "删除纸张尺寸": deletes the selected form (the spooler's answer is not looked at) and
    // selects the entry now at the same place, or the new last one.
    void DeleteSelected();

    const PaperFormsView& view() const { return view_; }

  private:
    void ShowSelection();
    void UpdateDeleteButton();
    const FormRecord* FindForm(const std::vector<FormRecord>& forms,
                               std::u16string_view name) const;

    FormsSeam& forms_;
    PaperFormsView view_;
};

}  // namespace krv
