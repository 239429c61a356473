#pragma once
// Progress of a long pass over the tables: the caller sets a total and then steps or
// sets the position. The user interface shows the Progress window; core code that
// runs without one passes NoProgress.

#include <QString>

namespace numora {

class Progress {
public:
    virtual ~Progress() = default;
    virtual void setCaption(const QString &caption) = 0;
    virtual void setTotal(int total) = 0;
    virtual void step() = 0;
    virtual void setPosition(int position) = 0;

    // The percentage the bar shows: round(position / total x 100), and 100 when the
    // total is 0.
    static int percentage(int position, int total)
    {
        if (total <= 0)
            return 100;
        return int((qint64(position) * 200 + total) / (qint64(total) * 2));
    }
};

class NoProgress final : public Progress {
public:
    void setCaption(const QString &) override {}
    void setTotal(int) override {}
    void step() override {}
    void setPosition(int) override {}
};

} // namespace numora
