#pragma once
// The form's two displays of state, each a polite live region, so a
// screen reader speaks each change: a light, and the status line.

#include "framework/form_view.h"
#include "live_region.h"
#include "pictures.h"

#include <string>
#include <utility>

// A light: a picture control showing its on or off picture, named for
// screen readers by its program and state ("Logvex: running", "WSJT-X: not
// running"); a change of state is announced.
class StatusLight : public CStatic {
public:
    // `program` names the light; `pictures` and `regions` are the caller's.
    StatusLight(std::string program, const plovik::LightPictures& pictures, LiveRegions& regions)
        : m_program(std::move(program)), m_pictures(pictures), m_regions(regions)
    {
    }

    void Show(bool running);

private:
    std::string m_program;
    const plovik::LightPictures& m_pictures;
    LiveRegions& m_regions;
    bool m_named = false;
    bool m_running = false;
};

// The status line: its text is set only when it changes, and announced
// when its `gist` (the text without the waiting time, which changes every
// minute) changes, or when `announce` says so (a call for attention).
class StatusLine : public CStatic {
public:
    explicit StatusLine(LiveRegions& regions) : m_regions(regions) {}

    void Show(const std::string& text, const std::string& gist, bool announce);

private:
    LiveRegions& m_regions;
    std::string m_text;
    std::string m_gist;
    bool m_shown = false;
};
