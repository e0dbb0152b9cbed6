// The main window's load, resize and unload handlers.
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLocale>
#include <limits>
#include <optional>

#include "app/frm_main.h"
#include "app/note_edit.h"
#include "captions/load_res_setting.h"
#include "errors/failure.h"
#include "errors/trap.h"
#include "platform/os_parts.h"
#include "platform/services.h"
#include "platform/string_table.h"
#include "platform/twips.h"
#include "platform/widgets/qt_control_enumeration.h"
#include "platform/widgets/screen_placement.h"
#include "settings/number_text.h"
#include "settings/settings_keys.h"

using namespace Qt::StringLiterals;
using errors::ErrorNumber;
using errors::Failure;
using platform::TwipsToPixels;
using settings::Key;

namespace {

// A sum of two whole numbers of twips that must fit in 32 bits.
std::int32_t Sum32(std::int32_t a, std::int32_t b) {
    const std::int64_t sum = std::int64_t{a} + b;
    if (sum < std::numeric_limits<std::int32_t>::min() ||
        sum > std::numeric_limits<std::int32_t>::max()) {
        throw Failure(ErrorNumber::Overflow);
    }
    return static_cast<std::int32_t>(sum);
}

// A size the window or a control cannot take.
int ToSizePixels(float twips) {
    if (!(twips >= 0)) {
        throw Failure(ErrorNumber::InvalidPropertyValue);
    }
    return TwipsToPixels(twips);
}

constexpr Qt::WindowStates kNotNormal =
    Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;

}  // namespace

void frmMain::Form_Load() {
    bool positioned = false;
    errors::Trap(services_.reporter, u"frmMain!Form_Load"_s, [&] {
        mdlLexbin::LoadResSetting(services_, platform::EnumerateControls(*this, controlOrder()));
        // The text box has no caption: without a name a screen reader announces only "text".
        txtMain_->setAccessibleName(services_.strings.text(1300));

        // Measured after the captions, before the saved geometry: the menu bar's height is
        // whatever it takes now.
        const frm_main_design::Box& first = frm_main_design::kOptionButtons[0].box;
        const frm_main_design::Box& last = frm_main_design::kOptionButtons[2].box;
        metrics_.FrameWidth = settings::RoundToLong(windowWidth() - clientWidth());
        metrics_.FrameHeight = settings::RoundToLong(windowHeight() - clientHeight());
        metrics_.MinClientHeight = settings::RoundToLong(first.height + textBoxBox_.top);
        metrics_.MinClientWidth = settings::RoundToLong(last.width + last.left);

        const auto readSingle = [&](Key key, float current) {
            return settings::TextToSingle(
                settings::GetSetting(services_, key, settings::SingleToText(current)));
        };
        setTextBoxFontSize(readSingle(Key::FontSize, textBoxFontSize()));

        const QString ime = settings::GetSetting(services_, Key::AutoEnableIME,
                                                 settings::FixedDefault(Key::AutoEnableIME));
        if (settings::RoundToLong(settings::TextToDouble(ime, QLocale())) == 1) {
            imeOn_ = true;
            menuItem(frm_main_design::MenuItem::mnuSetIMEMode)->setChecked(true);
        }

        // Only what is stored is applied, and then whatever its value: with nothing stored
        // the window manager places the window (a move would take that from it), and a
        // window closed at 0,0 opens there again.
        const auto readStored = [&](Key key, float current) -> std::optional<float> {
            if (!settings::HasSetting(services_, key)) {
                return std::nullopt;
            }
            return readSingle(key, current);
        };
        const std::optional<float> left = readStored(Key::Left, windowLeft());
        const std::optional<float> top = readStored(Key::Top, windowTop());
        if (left || top) {
            setWindowPosition(left.value_or(windowLeft()), top.value_or(windowTop()));
            positioned = true;
        } else if (const auto place = platform::SystemDefaultPlace(frameGeometry().size())) {
            move(*place);  // Windows: where the system puts a new window
        }
        if (const std::optional<float> width = readStored(Key::Width, windowWidth())) {
            setWindowWidth(*width);
        }
        if (const std::optional<float> height = readStored(Key::Height, windowHeight())) {
            setWindowHeight(*height);
        }
    });
    // Also when a later value stopped the load: the position is already applied.
    if (positioned) {
        keepTitleBarOnScreen();
    }
}

void frmMain::appendStartText(const QString& text) {
    if (text.isEmpty()) {
        return;
    }
    const QString held = txtMain_->noteText();
    // The box refuses (and says so) what would make the note too long; it keeps what it held.
    txtMain_->setPlainText(held.isEmpty() ? text : held + u"\r\n"_s + text);
    txtMain_->moveCursor(QTextCursor::End);
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmMain::Form_Resize() {
    errors::Trap(services_.reporter, u"frmMain!Form_Resize"_s, [&] {
        if (isMinimized()) {
            return;
        }
        const bool tooNarrow = clientWidth() < metrics_.MinClientWidth;
        const bool tooLow = clientHeight() < metrics_.MinClientHeight;
        if ((tooNarrow || tooLow) && !windowManagerRefusedToGrow()) {
            grownFrom_ = size();
            grownAt_.start();
            if (tooNarrow) {
                setWindowWidth(Sum32(metrics_.FrameWidth, metrics_.MinClientWidth));
            }
            if (clientHeight() < metrics_.MinClientHeight) {
                setWindowHeight(Sum32(metrics_.FrameHeight, metrics_.MinClientHeight) +
                                frm_main_design::kOptionButtons[0].box.height);
            }
        }
        setTextBoxWidth(clientWidth());
        setTextBoxHeight(clientHeight() - textBoxBox_.top);
    });
}

// The window is given a larger size at once, and the window manager answers later. One that
// will not let it grow (a tiling one) answers with the same small size again; asking again
// would go on for ever.
bool frmMain::windowManagerRefusedToGrow() const {
    return size() == grownFrom_ && grownAt_.isValid() && grownAt_.elapsed() < 1000;
}

void frmMain::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();  // a close is never refused
}

void frmMain::Form_Unload() {
    errors::Trap(services_.reporter, u"frmMain!Form_Unload"_s, [&] {
        settings::SaveSetting(services_, Key::AutoEnableIME, imeChoice() ? u"1"_s : u"0"_s);
        if (!(windowState() & kNotNormal)) {
            // Where the window system never tells a window its place, what pos() holds is
            // only what was asked for; the stored place is kept for the next X11 session.
            if (platform::WindowPositionIsKnown()) {
                settings::SaveSetting(services_, Key::Left, settings::SingleToText(windowLeft()));
                settings::SaveSetting(services_, Key::Top, settings::SingleToText(windowTop()));
            }
            settings::SaveSetting(services_, Key::Width, settings::SingleToText(windowWidth()));
            settings::SaveSetting(services_, Key::Height, settings::SingleToText(windowHeight()));
        }
        QCoreApplication::quit();
    });
}

float frmMain::textBoxFontSize() const {
    return static_cast<float>(txtMain_->font().pointSizeF());
}

void frmMain::setTextBoxFontSize(float points) {
    if (!(points > 0 && points <= kMaxFontPoints)) {
        throw Failure(ErrorNumber::InvalidPropertyValue);
    }
    QFont font = txtMain_->font();
    font.setPointSizeF(points);
    txtMain_->setFont(font);
}

// One move: it also tells the window manager that the program chose the place.
void frmMain::setWindowPosition(float left, float top) {
    move(TwipsToPixels(left), TwipsToPixels(top));
}

void frmMain::setWindowWidth(float twips) {
    resize(ToSizePixels(twips), height());
}

void frmMain::setWindowHeight(float twips) {
    resize(width(), ToSizePixels(twips));
}

void frmMain::setTextBoxWidth(float twips) {
    textBoxBox_.width = twips;
    txtMain_->resize(ToSizePixels(twips), txtMain_->height());
}

void frmMain::setTextBoxHeight(float twips) {
    textBoxBox_.height = twips;
    txtMain_->resize(txtMain_->width(), ToSizePixels(twips));
}

// A window saved on a monitor that is gone would open where nobody can see it.
void frmMain::keepTitleBarOnScreen() {
    const QPoint place = platform::KeepTitleBarOnScreen(QRect(pos(), size()));
    if (place != pos()) {
        move(place);
    }
}
