#pragma once

#include <QProcess>
#include <QString>

// Compiles the locale `source` in `charset` from glibc's sources (the locales package) into
// `folder` as `name`, so a test needs no installed locale: run the program with
// LOCPATH=folder and LC_ALL=name. Returns why it could not, for QSKIP; empty when it could.
inline QString CompileLocale(const QString& folder, const QString& name, const QString& source,
                             const QString& charset) {
    QProcess localedef;
    localedef.start(
        QStringLiteral("localedef"),
        {QStringLiteral("-i"), source, QStringLiteral("-f"), charset, folder + u'/' + name});
    if (localedef.waitForFinished(60000) && localedef.exitCode() == 0) {
        return {};
    }
    return QStringLiteral("cannot compile the locale ") + name +
           QStringLiteral(" (the locales package is missing?): ") +
           QString::fromLocal8Bit(localedef.readAllStandardError());
}
