#pragma once
// SIGTERM and SIGINT (a session logging out, `kill`) become an ordinary close request
// on the main window, so the program ends through its normal shutdown and writes its
// settings instead of dying mid-way.

#include <QObject>

class QSocketNotifier;

namespace numora::platform {

class TerminationSignal : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignal(QObject *parent = nullptr);
    ~TerminationSignal() override;

signals:
    void requested();

private:
    QSocketNotifier *notifier_ = nullptr;
};

} // namespace numora::platform
