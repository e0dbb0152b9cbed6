#include "display_check.h"

#include <unistd.h>

#include <QByteArray>
#include <QList>
#include <QtGlobal>

#include "exit_status.h"
#include "output.h"
#include "platform/posix/iconv_encoding.h"

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
QList<HeldMessage>* held = nullptr;

void HoldOrExit(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        Write(STDERR_FILENO,
              u"lexbin: 画面（ディスプレイ）に接続できないため、窓を開けません。"
              u"DISPLAY または WAYLAND_DISPLAY を確かめてください。\n"_s,
              platform::IconvEncoding(platform::IconvEncoding::SystemCodeSet()));
        ::_exit(kNoDisplay);
    }
    held->append({type, context.file, context.line, context.function, context.category, text});
}

}  // namespace

DisplayCheck::DisplayCheck() {
    held = new QList<HeldMessage>;
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
    for (const HeldMessage& message : *held) {
        const QMessageLogContext context(message.file.constData(), message.line,
                                         message.function.constData(),
                                         message.category.constData());
        qt_message_output(message.type, context, message.text);
    }
    delete held;
    held = nullptr;
}

}  // namespace cli
