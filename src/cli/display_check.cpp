#include "cli/display_check.h"

#include <QByteArray>
#include <QList>
#include <QtGlobal>
#include <cstdlib>
#include <mutex>

#include "cli/command_line.h"
#include "cli/note_command.h"
#include "platform/standard_streams.h"

using namespace Qt::StringLiterals;

namespace cli {
namespace {

struct HeldMessage {
    QtMsgType type;
    QByteArray file;
    int line;
    QByteArray function;
    QByteArray category;
    QString text;
};

QtMessageHandler previousHandler = nullptr;
// A platform plug-in may log from a thread of its own while the application object starts,
// so the list is guarded, and a message that comes in after the check passed (the handler
// was still in use) goes where it would have gone without the check.
std::mutex heldMutex;
bool holding = false;
QList<HeldMessage> held;

// The plug-in Qt names in `Could not find the Qt platform plugin "NAME" in "FOLDER"`, on one
// line (the name may hold quotes and line breaks); empty for any other message.
QString MissingPlugin(const QString& text) {
    const QString start = u"Could not find the Qt platform plugin \""_s;
    const qsizetype end = text.lastIndexOf(u"\" in \""_s);
    if (!text.startsWith(start) || end < start.size()) {
        return {};
    }
    return text.sliced(start.size(), end - start.size()).replace(u'\n', u"\\n"_s);
}

// Why Qt gives up, from what it said first: a platform plug-in that does not exist
// (`-platform nonesuch`, QT_QPA_PLATFORM=nonesuch), which Qt warns of in these words before
// its fatal message lists the ones there are; else no display to connect to.
QString WhyNoWindow(const QString& fatal) {
    QString missing;
    {
        const std::lock_guard lock(heldMutex);
        for (const HeldMessage& message : held) {
            if (message.category == "qt.qpa.plugin") {
                missing = MissingPlugin(message.text);
                if (!missing.isEmpty()) {
                    break;
                }
            }
        }
    }
    if (missing.isEmpty()) {
        return u"画面（ディスプレイ）に接続できないため、窓を開けません。"
               u"DISPLAY または WAYLAND_DISPLAY を確かめてください。"_s;
    }
    QString why =
        u"ウィンドウシステムを開始できないため、窓を開けません。"
        u"プラットフォームプラグイン「"_s +
        missing + u"」がありません。"_s;
    const QString listing = u"Available platform plugins are: "_s;
    if (const qsizetype at = fatal.indexOf(listing); at >= 0) {
        const qsizetype from = at + listing.size();
        const qsizetype end = fatal.indexOf(u".\n"_s, from);
        why +=
            u"使えるもの: "_s + fatal.sliced(from, (end < 0 ? fatal.size() : end) - from) + u'。';
    }
    return why;
}

void HoldOrExit(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        // The one way out from here: once the handler returns from a fatal message, Qt aborts
        // the program, and this one comes from inside the QApplication constructor, which
        // has no failure to return or throw. So the line is written and the process ends at
        // once (std::_Exit: no exit handlers either), without running destructors of a
        // half-built application object.
        WriteText(platform::OutputStream::Error, u"lexbin: "_s + WhyNoWindow(text) + u'\n');
        std::_Exit(kNoDisplay);
    }
    {
        const std::lock_guard lock(heldMutex);
        if (holding) {
            held.append(
                {type, context.file, context.line, context.function, context.category, text});
            return;
        }
    }
    qt_message_output(type, context, text);
}

}  // namespace

DisplayCheck::DisplayCheck() {
    {
        const std::lock_guard lock(heldMutex);
        holding = true;
    }
    previousHandler = qInstallMessageHandler(HoldOrExit);
}

DisplayCheck::~DisplayCheck() {
    passed();
}

void DisplayCheck::passed() {
    if (!watching_) {
        return;
    }
    watching_ = false;
    qInstallMessageHandler(previousHandler);
    QList<HeldMessage> messages;
    {
        const std::lock_guard lock(heldMutex);
        holding = false;
        messages.swap(held);
    }
    for (const HeldMessage& message : messages) {
        const QMessageLogContext context(message.file.constData(), message.line,
                                         message.function.constData(),
                                         message.category.constData());
        qt_message_output(message.type, context, message.text);
    }
}

}  // namespace cli
