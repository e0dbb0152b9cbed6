#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <array>
#include <cstdint>

#include "app/frm_main_design.h"

class NoteEdit;
class OptionButton;
class QAction;
class QMenu;

namespace platform {
struct Services;
}

namespace storage {
class StoreWatch;
}

// The note window: the text box, the three importance buttons and the menu bar.
class frmMain : public QMainWindow {
    Q_OBJECT

public:
    explicit frmMain(const platform::Services& services, QWidget* parent = nullptr);

    // Runs once, before the window is first shown: captions, minimum-size metrics, and the
    // font size, input method choice and geometry saved at the last close.
    void Form_Load();

    // The minimum-size metrics, in twips; zero until Form_Load has taken them.
    struct Metrics {
        std::int32_t FrameWidth = 0;
        std::int32_t FrameHeight = 0;
        std::int32_t MinClientHeight = 0;
        std::int32_t MinClientWidth = 0;
    };
    const Metrics& metrics() const { return metrics_; }

    // What the logic sees of the window, in twips.
    float windowLeft() const;
    float windowTop() const;
    float windowWidth() const;
    float windowHeight() const;
    float clientWidth() const;
    float clientHeight() const;
    const frm_main_design::Box& textBoxBox() const { return textBoxBox_; }
    bool imeChoice() const;

    NoteEdit* txtMain() const { return txtMain_; }
    OptionButton* optImportance(int index) const { return optImportance_.at(index); }
    QAction* menuItem(frm_main_design::MenuItem item) const {
        return menuItems_.at(static_cast<std::size_t>(item));
    }

    // Adds `text` (lexbin --edit) at the end of the box, on a line of its own when the box
    // holds text already, and puts the cursor after it. Nothing for an empty `text`.
    void appendStartText(const QString& text);

    const platform::Services& services() const { return services_; }
    // Told of every store of the box's note (null: none).
    void setStoreWatch(storage::StoreWatch* watch) { storeWatch_ = watch; }

    // The importance of the first selected option button; None when none is.
    storage::Importance GetImportance() const;

    // Why the window closes, for closeEvent and Form_Unload to read: the user (a command or the
    // title bar), the end of the desktop session, or a signal to the process.
    enum class CloseReason { User, SessionEnd, Signal };
    CloseReason closeReason() const { return closeReason_; }
    // Closes the window as close() does, for `reason`.
    void closeFor(CloseReason reason);

    // The note text box's font size in points. Setting throws errors::Failure for a size
    // no font can take.
    float textBoxFontSize() const;
    void setTextBoxFontSize(float points);
    // Windows' own font dialogs stop at this size.
    static constexpr float kMaxFontPoints = 1638;

public Q_SLOTS:
    void mnuFileSave_Click();
    void mnuFileSaveexit_Click();
    void mnuFileExit_Click();
    void mnuSetPath_Click();
    void mnuSetFont_Click();
    void mnuHelpAbout_Click();
    // The IME item's check mark is the action's own: a click toggles it and nothing else
    // happens until the window closes and saves it.

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void createMenus();
    QList<QObject*> controlOrder() const;

    void Form_Resize();
    void Form_Unload();

    void setWindowPosition(float left, float top);
    void setWindowWidth(float twips);
    void setWindowHeight(float twips);
    void setTextBoxWidth(float twips);
    void setTextBoxHeight(float twips);
    void keepTitleBarOnScreen();
    int menuBarHeight() const;
    bool windowManagerRefusedToGrow() const;

    const platform::Services& services_;
    NoteEdit* txtMain_ = nullptr;
    std::array<OptionButton*, std::size(frm_main_design::kOptionButtons)> optImportance_{};
    std::array<QAction*, static_cast<std::size_t>(frm_main_design::MenuItem::Count)> menuItems_{};
    QList<QMenu*> menus_;
    frm_main_design::Box textBoxBox_ = frm_main_design::kTextBox;
    Metrics metrics_;
    QSize grownFrom_;  // the size the resize rules last grew the window from, and when
    QElapsedTimer grownAt_;
    bool imeOn_ = false;  // the input method mode of txtMain, set once at load
    CloseReason closeReason_ = CloseReason::User;
    storage::StoreWatch* storeWatch_ = nullptr;
};
