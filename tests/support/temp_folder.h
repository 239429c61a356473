#pragma once
// A fresh folder per test, removed afterwards, so tests work on real files.

#include <QString>
#include <QDir>
#include <QTemporaryDir>

namespace numora::test {

class TempFolder {
public:
    TempFolder();
    QString path() const { return dir_.path(); }
    QString file(const QString &name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
};

} // namespace numora::test
