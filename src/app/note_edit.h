#pragma once

#include <QPlainTextEdit>

// The note text box. Gives its text with CR LF line breaks, and tells whenever it receives
// the focus (the window switches the input method on then).
class NoteEdit final : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit NoteEdit(QWidget* parent = nullptr);

    // The whole text, every line break as CR LF (the document keeps them as paragraph
    // and line separators).
    QString noteText() const;

    static QString WithCrLfBreaks(const QString& rawText);

Q_SIGNALS:
    void focusReceived();

protected:
    void focusInEvent(QFocusEvent* event) override;
};
