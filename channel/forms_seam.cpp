#include "channel/forms_seam.h"

namespace krv {

FormRecord WholeSheetForm(std::u16string name, uint32_t width, uint32_t height) {
    FormRecord form;
    form.flags = 0;
    form.name = std::move(name);
    form.width = width;
    form.height = height;
    form.imageableArea = {0, 0, static_cast<int32_t>(width), static_cast<int32_t>(height)};
    return form;
}

}  // namespace krv
