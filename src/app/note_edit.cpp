#include "app/note_edit.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <algorithm>

#include "storage/note_record.h"

using namespace Qt::StringLiterals;

namespace {

// The characters at which Qt starts a new paragraph (a CR LF pair is one break); a line
// separator breaks the line inside its paragraph.
bool EndsParagraph(QChar c) {
    return c != QChar::LineSeparator && storage::IsLineBreak(c);
}

// The last place at or before `index`, and after `floor`, where a break splits no character
// as the user sees it (a surrogate pair, a base and its combining marks).
qsizetype BreakBefore(const QString& text, qsizetype index, qsizetype floor) {
    constexpr qsizetype kLookAround = 32;
    const qsizetype start = std::max(floor, index - kLookAround);
    const qsizetype end = std::min(text.size(), index + kLookAround);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.constData() + start,
                               end - start);
    finder.setPosition(index - start);
    if (finder.isAtBoundary()) {
        return index;
    }
    if (const qsizetype previous = finder.toPreviousBoundary(); previous > 0) {
        return start + previous;
    }
    // A run of marks longer than the look-around: keep at least the pair whole.
    if (index - 1 > floor && text[index].isLowSurrogate() && text[index - 1].isHighSurrogate()) {
        return index - 1;
    }
    return index;
}

QString WithBreaksAt(const QString& text, const QList<qsizetype>& breaks) {
    if (breaks.isEmpty()) {
        return text;
    }
    QString broken;
    broken.reserve(text.size() + breaks.size());
    qsizetype from = 0;
    for (const qsizetype at : breaks) {
        broken += QStringView(text).sliced(from, at - from);
        broken += QChar::ParagraphSeparator;
        from = at;
    }
    broken += QStringView(text).sliced(from);
    return broken;
}

// One paragraph separator for every line break, as the document holds them, so that each
// character of the result is one position in the document.
QString AsParagraphs(const QString& text) {
    QString paragraphs = text;
    paragraphs.replace(u"\r\n"_s, QString(QChar::ParagraphSeparator));
    return paragraphs;
}

}  // namespace

NoteEdit::NoteEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
}

QList<qsizetype> NoteEdit::LineBreaksFor(const QString& text, qsizetype before, qsizetype after) {
    QList<qsizetype> breaks;
    qsizetype run = before;  // the length of the paragraph the next character joins
    qsizetype runStart = 0;  // where its part of `text` begins
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (EndsParagraph(text[i])) {
            run = 0;
            runStart = i + 1;
            continue;
        }
        if (run >= kParagraphLength) {
            const qsizetype at = BreakBefore(text, i, runStart);
            breaks.append(at);
            run = i - at;
            runStart = at;
        }
        ++run;
    }
    if (after > 0 && run > 0 && runStart < text.size() && run + after > kParagraphLength) {
        breaks.append(text.size());
    }
    return breaks;
}

QString NoteEdit::noteText() const {
    return NoteText(rawNote());
}

NoteEdit::RawNote NoteEdit::rawNote() const {
    // toPlainText() would also turn no-break spaces into plain ones.
    const QString raw = document()->toRawText();
    return {raw, insertedBreaks(0, static_cast<int>(raw.size()))};
}

QString NoteEdit::NoteText(const RawNote& note) {
    return storage::WithCrLfBreaks(WithoutBreaksAt(note.text, note.insertedBreaks, 0));
}

void NoteEdit::setPlainText(const QString& text) {
    const QString paragraphs = AsParagraphs(text);
    if (paragraphs.size() > kMaxCharacters) {
        Q_EMIT tooLong();
        return;
    }
    const QList<qsizetype> breaks = LineBreaksFor(paragraphs, 0, 0);
    QPlainTextEdit::setPlainText(WithBreaksAt(paragraphs, breaks));
    for (qsizetype k = 0; k < breaks.size(); ++k) {
        document()->findBlock(static_cast<int>(breaks[k] + k) + 1).setUserState(kContinuesLine);
    }
}

bool NoteEdit::insertNoteText(QTextCursor& cursor, const QString& text) {
    const QString paragraphs = AsParagraphs(text);
    if (!fits(cursor, paragraphs.size())) {
        Q_EMIT tooLong();
        return false;
    }
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    const QTextBlock first = document()->findBlock(start);
    const QTextBlock last = document()->findBlock(end);
    const QList<qsizetype> breaks = LineBreaksFor(paragraphs, start - first.position(),
                                                  last.position() + last.length() - 1 - end);
    cursor.insertText(WithBreaksAt(paragraphs, breaks));
    for (qsizetype k = 0; k < breaks.size(); ++k) {
        document()
            ->findBlock(start + static_cast<int>(breaks[k] + k) + 1)
            .setUserState(kContinuesLine);
    }
    return true;
}

bool NoteEdit::fits(const QTextCursor& cursor, qsizetype incoming) const {
    const int stored = document()->characterCount() - 1;  // the closing separator is not text
    if (stored + incoming <= kMaxCharacters) {
        return true;
    }
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    const qsizetype held = stored - insertedBreaks(0, stored).size();
    const qsizetype replaced = (end - start) - insertedBreaks(start, end).size();
    return held - replaced + incoming <= kMaxCharacters;
}

QList<int> NoteEdit::insertedBreaks(int from, int to) const {
    QList<int> breaks;
    for (QTextBlock block = document()->findBlock(from).next();
         block.isValid() && block.position() - 1 < to; block = block.next()) {
        if (block.userState() == kContinuesLine) {
            breaks.append(block.position() - 1);
        }
    }
    return breaks;
}

QString NoteEdit::withoutInsertedBreaks(const QString& raw, int from) const {
    return WithoutBreaksAt(raw, insertedBreaks(from, from + static_cast<int>(raw.size())), from);
}

QString NoteEdit::WithoutBreaksAt(const QString& raw, const QList<int>& breaks, int from) {
    if (breaks.isEmpty()) {
        return raw;
    }
    QString text;
    text.reserve(raw.size());
    qsizetype copied = 0;
    for (const int at : breaks) {
        text += QStringView(raw).sliced(copied, at - from - copied);
        copied = at - from + 1;
    }
    text += QStringView(raw).sliced(copied);
    return text;
}

void NoteEdit::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    Q_EMIT focusReceived();
}

void NoteEdit::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->text();
    const bool addsText = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
                          (!typed.isEmpty() && typed.front().isPrint());
    if (addsText && !fits(textCursor(), std::max<qsizetype>(1, typed.size()))) {
        event->accept();
        Q_EMIT tooLong();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

// Pasted and dropped text both arrive here.
void NoteEdit::insertFromMimeData(const QMimeData* source) {
    const QString text = source ? source->text() : QString();
    if (text.isNull() || isReadOnly()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    QTextCursor cursor = textCursor();
    if (insertNoteText(cursor, text)) {
        setTextCursor(cursor);
        ensureCursorVisible();
    }
}

QMimeData* NoteEdit::createMimeDataFromSelection() const {
    const QTextCursor cursor = textCursor();
    if (insertedBreaks(cursor.selectionStart(), cursor.selectionEnd()).isEmpty()) {
        return QPlainTextEdit::createMimeDataFromSelection();
    }
    QString text = withoutInsertedBreaks(cursor.selectedText(), cursor.selectionStart());
    // As Qt's own copy gives the text: line breaks as LF.
    text.replace(QChar::ParagraphSeparator, u'\n').replace(QChar::LineSeparator, u'\n');
    auto* mime = new QMimeData;
    mime->setText(text);
    return mime;
}
