#pragma once

namespace platform {
struct FormControls;
struct Services;
}  // namespace platform

namespace mdlLexbin {

// Replaces a form's resource IDs by their texts from the string table: the title from the
// form's tag, each menu's and menu item's caption from the ID it holds as caption, every
// other control's caption from a positive ID in its tag. Controls are loaded in the given
// order; a failure is shown in the error box and leaves the rest of the controls as they
// were (a failure on the form's tag changes nothing).
void LoadResSetting(const platform::Services& services, const platform::FormControls& form);

}  // namespace mdlLexbin
