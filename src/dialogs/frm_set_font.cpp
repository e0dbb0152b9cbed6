#include "dialogs/frm_set_font.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <cmath>

#include "captions/load_res_setting.h"
#include "errors/failure.h"
#include "errors/trap.h"
#include "platform/dialogs.h"
#include "platform/services.h"
#include "platform/string_table.h"
#include "platform/twips.h"
#include "platform/widgets/design_font.h"
#include "platform/widgets/qt_control_enumeration.h"
#include "platform/widgets/taskbar.h"
#include "settings/number_text.h"
#include "settings/settings_keys.h"

using namespace Qt::StringLiterals;
using platform::TwipsToPixels;

namespace {

// Selects its whole text whenever it receives the focus, so typing replaces it.
class SelectingLineEdit final : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void focusInEvent(QFocusEvent* event) override {
        QLineEdit::focusInEvent(event);
        selectAll();
    }
};

constexpr double kFontPointSize = 10.2;  // the main window's
constexpr float kClientWidth = 3564;
constexpr float kClientHeight = 1368;
constexpr int kMinSize = 9;
constexpr int kMaxSize = 50;

}  // namespace

frmSetFont::frmSetFont(const platform::Services& services, float mainFontSize, QWidget* parent)
    // A fixed dialog frame: a title bar with a close box, no minimize or maximize box.
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      services_(services) {
    setObjectName(u"frmSetFont"_s);
    setWindowTitle(u"11000"_s);
    setProperty("tag", u"11000"_s);
    setFont(platform::DesignFont(kFontPointSize));
    setFixedSize(TwipsToPixels(kClientWidth), TwipsToPixels(kClientHeight));
    createControls();
    Form_Load(mainFontSize);
}

void frmSetFont::createControls() {
    txtFontSize_ = new SelectingLineEdit(this);
    txtFontSize_->setObjectName(u"txtFontSize"_s);
    txtFontSize_->setGeometry(TwipsToPixels(1980, 180, 672, 372));
    txtFontSize_->setAttribute(Qt::WA_InputMethodEnabled, false);  // typed directly only

    const struct {
        QRect box;
        const char16_t* tag;
    } labels[] = {{TwipsToPixels(120, 300, 1752, 372), u"11100"},
                  {TwipsToPixels(2760, 300, 672, 372), u"11101"}};
    for (int i = 0; i < 2; ++i) {
        auto* label = new QLabel(QString::fromUtf16(labels[i].tag), this);
        label->setObjectName(u"lblFontSize_"_s + QString::number(i));
        label->setProperty("tag", QString::fromUtf16(labels[i].tag));
        label->setGeometry(labels[i].box);
        lblFontSize_[i] = label;
    }
    lblFontSize_[0]->setBuddy(txtFontSize_);  // its access key S leads to the text box

    const struct {
        QRect box;
        const char16_t* tag;
    } buttons[] = {{TwipsToPixels(1320, 840, 972, 432), u"11200"},
                   {TwipsToPixels(2460, 840, 972, 432), u"11201"}};
    for (int i = 0; i < 2; ++i) {
        auto* button = new QPushButton(QString::fromUtf16(buttons[i].tag), this);
        button->setObjectName(u"cmdSetFont_"_s + QString::number(i));
        button->setProperty("tag", QString::fromUtf16(buttons[i].tag));
        button->setGeometry(buttons[i].box);
        button->setAutoDefault(false);
        // Both buttons take part in validation. Qt would move the focus to a clicked
        // button before anyone sees the click; with Tab-only focus it stays in the text box
        // until the click has been validated.
        button->setFocusPolicy(Qt::TabFocus);
        button->installEventFilter(this);
        connect(button, &QPushButton::clicked, this, [this, i] { cmdSetFont_Click(i); });
        cmdSetFont_[i] = button;
    }
    cmdSetFont_[0]->setDefault(true);

    setTabOrder(txtFontSize_, cmdSetFont_[0]);
    setTabOrder(cmdSetFont_[0], cmdSetFont_[1]);
    txtFontSize_->setFocus();
}

void frmSetFont::Form_Load(float mainFontSize) {
    mdlLexbin::LoadResSetting(
        services_, platform::EnumerateControls(*this, {cmdSetFont_[1], cmdSetFont_[0], txtFontSize_,
                                                       lblFontSize_[1], lblFontSize_[0]}));
    txtFontSize_->setText(QString::number(static_cast<long long>(std::floor(mainFontSize))));
    txtFontSize_->selectAll();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

// The native window exists now and is not mapped yet.
void frmSetFont::showEvent(QShowEvent* event) {
    platform::KeepOffTaskbar(windowHandle());
    QDialog::showEvent(event);
}

bool frmSetFont::IsValidFontSize(const QString& text) {
    try {
        const std::int32_t size = settings::RoundToLong(settings::TextToDouble(text, QLocale()));
        return size >= kMinSize && size <= kMaxSize;
    } catch (const errors::Failure&) {
        return false;  // not a number, or beyond 32 bits
    }
}

bool frmSetFont::txtFontSize_Validate() {
    if (IsValidFontSize(txtFontSize_->text())) {
        return true;
    }
    platform::MessageBoxRequest hint;
    hint.text = services_.strings.text(12000);
    hint.title = services_.strings.text(12001);
    hint.icon = platform::MessageIcon::Information;
    services_.dialogs.messageBox(hint);
    selectWholeText();
    return false;
}

void frmSetFont::selectWholeText() {
    txtFontSize_->setFocus();
    txtFontSize_->selectAll();
}

// The OK button checks nothing itself: the validation runs before the focus can reach it.
void frmSetFont::cmdSetFont_Click(int index) {
    if (index == 0) {
        // A settings store that cannot be written is reported; the dialog stays open for
        // Cancel or another try.
        const bool stored = errors::Trap(services_.reporter, u"frmSetFont!cmdSetFont_Click"_s, [&] {
            settings::SaveSetting(services_, settings::Key::FontSize, txtFontSize_->text());
        });
        if (!stored) {
            return;
        }
        accept();
    } else {
        reject();
    }
}

// A click on either button while the focus is in the text box validates first; invalid
// text swallows the click.
bool frmSetFont::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && txtFontSize_->hasFocus() &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
        (watched == cmdSetFont_[0] || watched == cmdSetFont_[1]) && !txtFontSize_Validate()) {
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool frmSetFont::focusNextPrevChild(bool next) {
    if (txtFontSize_->hasFocus() && !txtFontSize_Validate()) {
        return true;  // Tab and Shift+Tab stay in the text box
    }
    return QDialog::focusNextPrevChild(next);
}

// Enter and Esc act like clicks on OK and Cancel, validation included, so text that fails
// the rule is never stored. Every Enter is taken here, whatever the modifiers: QDialog
// would click the default button for the keypad's (sent with KeypadModifier) unchecked.
void frmSetFont::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (enter || event->matches(QKeySequence::Cancel)) {
        if (txtFontSize_->hasFocus() && !txtFontSize_Validate()) {
            return;
        }
        const QPushButton* focused = qobject_cast<QPushButton*>(focusWidget());
        cmdSetFont_Click(!enter || focused == cmdSetFont_[1] ? 1 : 0);
        return;
    }
    QDialog::keyPressEvent(event);
}
