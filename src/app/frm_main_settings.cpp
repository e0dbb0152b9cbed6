// The Settings and Help menus: data file path, font size, input method choice, About.
#include "app/frm_main.h"
#include "dialogs/frm_set_font.h"
#include "errors/failure.h"
#include "errors/trap.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/services.h"
#include "platform/string_table.h"
#include "settings/number_text.h"
#include "settings/settings_keys.h"
#include "storage/data_file.h"

using namespace Qt::StringLiterals;

namespace {

// A path that ends in a folder separator names no file; Windows takes both as separators.
bool EndsInSeparator(const QString& path) {
    return path.endsWith(u'\\') || path.endsWith(u'/');
}

}  // namespace

void frmMain::mnuSetPath_Click() {
    errors::Trap(services_.reporter, u"frmMain!mnuSetPath_Click"_s, [&] {
        const QString current = mdlLexbin::GetFilePath(services_);
        const QString answer = services_.dialogs.inputBox(services_.strings.text(4101),
                                                          services_.strings.text(4000), current);
        if (answer.isEmpty()) {
            return;  // Cancel, or OK on an emptied field
        }
        if (EndsInSeparator(answer)) {
            platform::MessageBoxRequest warning;
            warning.text = services_.strings.text(5100);
            warning.title = services_.strings.text(5000);
            warning.icon = platform::MessageIcon::Exclamation;
            warning.systemModal = true;
            services_.dialogs.messageBox(warning);
            return;
        }
        settings::SaveSetting(services_, settings::Key::DataFilePath, answer);
    });
}

void frmMain::mnuSetFont_Click() {
    {
        frmSetFont dialog(services_, textBoxFontSize());
        services_.dialogs.runDialog(dialog);
    }
    // Confirmed or not, the stored size is applied again. A value edited into the settings
    // by hand that is no usable size leaves the box as it is.
    try {
        const QString stored = settings::GetSetting(services_, settings::Key::FontSize,
                                                    settings::SingleToText(textBoxFontSize()));
        setTextBoxFontSize(settings::TextToSingle(stored));
    } catch (const errors::Failure&) {
    }
}

void frmMain::mnuHelpAbout_Click() {
    // The string table is part of the program, so a lookup cannot fail in practice; if it
    // ever did, the error box says so rather than the program ending.
    errors::Trap(services_.reporter, u"frmMain!mnuHelpAbout_Click"_s, [&] {
        const platform::StringTable& text = services_.strings;
        platform::MessageBoxRequest about;
        about.text = text.text(1000) + text.text(3101) +
                     QString::number(services_.application.majorVersion()) + text.text(3102) +
                     QString::number(services_.application.minorVersion()).rightJustified(2, u'0') +
                     u"\r\n\r\n"_s + text.text(3103);
        about.title = text.text(3000);
        about.systemModal = true;
        services_.dialogs.messageBox(about);
    });
}
