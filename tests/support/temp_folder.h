#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// A fresh folder per test, with helpers to read what landed in it.
class TempFolder {
public:
    TempFolder() { QVERIFY2(dir_.isValid(), "cannot create a temporary folder"); }
    // In `parent` (on its file system) instead of the system's temporary folder.
    explicit TempFolder(const QString& parent) : dir_(parent + QStringLiteral("/lexbin-XXXXXX")) {
        QVERIFY2(dir_.isValid(), "cannot create a temporary folder");
    }
    QString path(const QString& name = {}) const {
        return name.isEmpty() ? dir_.path() : dir_.filePath(name);
    }
    static QByteArray read(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void write(const QString& file, const QByteArray& bytes) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(f.write(bytes), bytes.size());
    }

private:
    QTemporaryDir dir_;
};
