#pragma once

#include <QPlainTextEdit>
#include <functional>

// The note text box. Gives its text with CR LF line breaks, and can switch the input
// method on whenever it receives the focus.
class NoteEdit final : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit NoteEdit(QWidget* parent = nullptr);

    // The whole text, every line break as CR LF (the document keeps them as paragraph
    // and line separators).
    QString noteText() const;
    // Runs on every focus-in while set.
    void setOnFocusIn(std::function<void()> onFocusIn) { onFocusIn_ = std::move(onFocusIn); }

    static QString WithCrLfBreaks(const QString& rawText);

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    std::function<void()> onFocusIn_;
};
