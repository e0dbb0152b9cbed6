#pragma once

#include <QList>
#include <QPlainTextEdit>

#include "storage/note_record.h"

// The note text box. Gives its text with CR LF line breaks, and tells whenever it receives
// the focus (the window switches the input method on then).
//
// A very long line is held as several paragraphs of at most kParagraphLength characters:
// Qt lays out a whole paragraph again on every keystroke, so one 10 MiB line would freeze
// the window. The paragraph that follows such an inserted break carries kContinuesLine as
// its user state; noteText() and copying join it to the paragraph before without a line
// break. Qt keeps the state on the first part when a paragraph is split, drops it when the
// break before it is deleted, and forgets it on undo: a break that lost its mark reads as a
// line break, which the store removes all the same.
class NoteEdit final : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit NoteEdit(QWidget* parent = nullptr);

    // The most characters the box holds; an inserted break counts none, a line break one.
    static constexpr qsizetype kMaxCharacters = storage::kMaxNoteCharacters;
    // Longer paragraphs cost a keystroke more than 100 ms with Japanese text.
    static constexpr qsizetype kParagraphLength = 4096;
    static constexpr int kContinuesLine = 0x4c42;

    // The whole text, every line break as CR LF (the document keeps them as paragraph
    // and line separators), inserted breaks left out.
    QString noteText() const;
    // The same note in two parts, taken cheaply (one copy of the text) and put together by
    // NoteText anywhere, another thread included: the document's text and the positions of
    // its inserted breaks.
    struct RawNote {
        QString text;
        QList<int> insertedBreaks;
    };
    RawNote rawNote() const;
    static QString NoteText(const RawNote& note);
    // Replaces the text, breaking overlong lines; refuses text over kMaxCharacters.
    void setPlainText(const QString& text);

Q_SIGNALS:
    void focusReceived();
    // Text was refused for making the note longer than kMaxCharacters.
    void tooLong();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;

private:
    // Where breaks go into `text` (before the returned indexes) so that no paragraph grows
    // past kParagraphLength, given `before` characters of the paragraph in front of it and
    // `after` behind it. Never inside a character made of several code units.
    static QList<qsizetype> LineBreaksFor(const QString& text, qsizetype before, qsizetype after);
    // Inserts `text` at `cursor` as typing it would; false when refused as too long.
    bool insertNoteText(QTextCursor& cursor, const QString& text);
    bool fits(const QTextCursor& cursor, qsizetype incoming) const;
    // Document positions of the inserted breaks in [from, to).
    QList<int> insertedBreaks(int from, int to) const;
    // `raw`, the document's text from position `from` on, without its inserted breaks.
    QString withoutInsertedBreaks(const QString& raw, int from) const;
    static QString WithoutBreaksAt(const QString& raw, const QList<int>& breaks, int from);
};
