#include "captions/load_res_setting.h"

#include "captions/resource_id.h"
#include "errors/failure.h"
#include "errors/trap.h"
#include "platform/control_enumeration.h"
#include "platform/services.h"
#include "platform/string_table.h"

using namespace Qt::StringLiterals;

namespace mdlLexbin {
namespace {

void SetCaption(const platform::ControlInfo& control, const QString& text) {
    if (!control.setCaption) {
        throw errors::Failure(errors::ErrorNumber::PropertyNotSupported);
    }
    control.setCaption(text);
}

void LoadCaption(const platform::StringTable& strings, const platform::ControlInfo& control) {
    if (control.kind == u"Menu") {
        // A menu's ID stands in its caption until it is loaded, so a loaded menu no longer
        // reads as a number.
        const QString caption = control.caption ? control.caption() : QString();
        SetCaption(control, strings.text(captions::StrictShortNumber(caption)));
        return;
    }
    // Most controls have no ID: an empty or non-numeric tag reads as 0.
    const std::int32_t id = captions::LeadingWholeNumber(control.tag);
    if (id > 0) {
        SetCaption(control, strings.text(id));
    }
}

}  // namespace

void LoadResSetting(const platform::Services& services, const platform::FormControls& form) {
    errors::Trap(services.reporter, u"mdlLexbin!LoadResSetting"_s, [&] {
        const QString title = services.strings.text(captions::StrictWholeNumber(form.tag));
        form.setTitle(title);
        for (const platform::ControlInfo& control : form.controls) {
            LoadCaption(services.strings, control);
        }
    });
}

}  // namespace mdlLexbin
