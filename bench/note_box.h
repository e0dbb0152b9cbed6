#pragma once
// The note box holding a long note, as the benchmarks of long notes type into it
// (long_note_bench.cpp; drafts_wine.cpp on Windows).
#include <QApplication>
#include <QClipboard>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTimer>
#include <memory>

#include "app/frm_main_design.h"
#include "app/note_edit.h"
#include "platform/twips.h"
#include "platform/widgets/design_font.h"

namespace bench {

using namespace Qt::StringLiterals;

enum Kind : int { kDigits, kJapanese };
enum Box : int { kNoteBox, kOneParagraph };

inline QString Note(Kind kind, qsizetype size) {
    QString text;
    text.reserve(size + 16);
    for (int i = 0; text.size() < size; ++i) {
        text += kind == kJapanese ? u"日本語のメモ、"_s
                                  : QString::number(i).rightJustified(15, u'0') + u' ';
    }
    text.truncate(size);
    return text;
}

inline void RunEventLoop(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// The box as the window shows it, holding the note: pasted into the note box, set into
// the plain one (whose paste is no different).
inline std::unique_ptr<QPlainTextEdit> ShownBox(Box box, Kind kind, qsizetype size = 0) {
    std::unique_ptr<QPlainTextEdit> edit;
    if (box == kNoteBox) {
        edit = std::make_unique<NoteEdit>();
    } else {
        edit = std::make_unique<QPlainTextEdit>();
    }
    edit->setFont(platform::DesignFont(frm_main_design::kFontPointSize));
    edit->resize(
        platform::TwipsToPixels(frm_main_design::kClientWidth),
        platform::TwipsToPixels(frm_main_design::kClientHeight - frm_main_design::kTextBox.top));
    edit->show();
    edit->activateWindow();
    edit->setFocus();
    if (size == 0) {
        size = box == kNoteBox ? 10 * 1024 * 1024 : 1024 * 1024;
    }
    const QString note = Note(kind, size);
    if (box == kNoteBox) {
        QGuiApplication::clipboard()->setText(note);
        edit->paste();
    } else {
        edit->setPlainText(note);
    }
    QTextCursor middle = edit->textCursor();
    middle.setPosition(edit->document()->characterCount() / 2);
    edit->setTextCursor(middle);
    RunEventLoop(300);
    return edit;
}

// One typed "a", up to the repainted box.
inline void Type(QPlainTextEdit& edit) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, u"a"_s);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, u"a"_s);
    QApplication::sendEvent(&edit, &press);
    QApplication::sendEvent(&edit, &release);
    edit.viewport()->repaint();
    QCoreApplication::processEvents();
}

}  // namespace bench
