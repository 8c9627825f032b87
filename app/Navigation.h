#pragma once

// Jumps from one editor page to another. A page asks the shell for the jump
// through this interface, so neither page needs to know the other.

struct AppContext;

class Navigation {
public:
    virtual ~Navigation() = default;

    // The Clubs tab with club `clubId` listed, selected and shown; an
    // identifier that names no listed club changes nothing.
    virtual void goToClub(int clubId) = 0;
    // The Staff tab with person `staffId` alone in its list, selected and
    // shown; an identifier that names nobody leaves the list empty.
    virtual void showStaff(int staffId) = 0;
};

// The shell's jumps: to the pages the context holds (nothing while a page
// does not exist).
class PageNavigation final : public Navigation {
public:
    explicit PageNavigation(AppContext& ctx) : ctx_(ctx) {}
    void goToClub(int clubId) override;
    void showStaff(int staffId) override;

private:
    AppContext& ctx_;
};
