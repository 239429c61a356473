#pragma once
// SIGTERM and SIGINT (a session logging out, `kill`) become a request to end the
// program, which main answers with the normal end (the save check, then the end
// sequence), whatever the tray option, instead of dying mid-way.

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
