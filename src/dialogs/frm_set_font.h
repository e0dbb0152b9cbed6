#pragma once

#include <QDialog>
#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace platform {
struct Services;
}

// The small modal dialog that edits the note box's font size. It offers the current size,
// accepts only a number that rounds to 9..50, and on OK stores the text as typed under
// FontSize. It changes nothing in the main window itself.
class frmSetFont final : public QDialog {
    Q_OBJECT

public:
    // `mainFontSize`: the size the main window's note box uses now, in points.
    frmSetFont(const platform::Services& services, float mainFontSize, QWidget* parent = nullptr);

    // Whether `text` reads as a number that rounds (half to even) to 9..50.
    static bool IsValidFontSize(const QString& text);

    QLineEdit* txtFontSize() const { return txtFontSize_; }
    QLabel* lblFontSize(int index) const { return lblFontSize_.at(index); }
    QPushButton* cmdSetFont(int index) const { return cmdSetFont_.at(index); }

    // 0 for OK, 1 for Cancel.
    void cmdSetFont_Click(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void createControls();
    void Form_Load(float mainFontSize);
    // Runs before the focus leaves the text box for a button; false keeps it there.
    bool txtFontSize_Validate();
    void selectWholeText();

    const platform::Services& services_;
    QLineEdit* txtFontSize_ = nullptr;
    std::array<QLabel*, 2> lblFontSize_{};
    std::array<QPushButton*, 2> cmdSetFont_{};
};
