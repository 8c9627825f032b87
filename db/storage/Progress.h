#pragma once

// How loading and saving report their progress: the status window implements
// this; tests record it; benchmarks pass NullProgress.

#include <string_view>

namespace db {

class Progress {
public:
    virtual ~Progress() = default;
    virtual void show() {}
    virtual void hide() {}
    virtual void setStatus(std::string_view text) = 0;
    virtual void setMaximum(int maximum) = 0;
    virtual void setPosition(int position) = 0;
    virtual void step() = 0;
    // `steps` steps at once: the loader reports a block of records this way.
    virtual void advance(int steps)
    {
        for (int i = 0; i < steps; ++i) step();
    }
};

class NullProgress : public Progress {
public:
    void setStatus(std::string_view) override {}
    void setMaximum(int) override {}
    void setPosition(int) override {}
    void step() override {}
    void advance(int) override {}
};

}  // namespace db
