#pragma once

#include <QRadioButton>

// An option button whose access key (Alt+letter) selects it at once. Qt's own mnemonic
// only clicks after a 100 ms animation, so Alt+B quickly followed by Ctrl+S would store the
// importance that was selected before.
class OptionButton final : public QRadioButton {
    Q_OBJECT

public:
    using QRadioButton::QRadioButton;

protected:
    bool event(QEvent* event) override;
};
