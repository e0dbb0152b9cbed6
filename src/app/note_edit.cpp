#include "note_edit.h"

using namespace Qt::StringLiterals;

NoteEdit::NoteEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
}

QString NoteEdit::WithCrLfBreaks(const QString& rawText) {
    QString text;
    text.reserve(rawText.size() + rawText.size() / 16);
    for (const QChar c : rawText) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == u'\n') {
            text += u"\r\n"_s;
        } else {
            text += c;
        }
    }
    return text;
}

QString NoteEdit::noteText() const {
    // toPlainText() would also turn no-break spaces into plain ones.
    return WithCrLfBreaks(document()->toRawText());
}

void NoteEdit::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    Q_EMIT focusReceived();
}
