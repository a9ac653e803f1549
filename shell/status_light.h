#pragma once
// One light of the form: a picture control showing its on or off picture,
// named for screen readers by its program and state ("Logvex: running",
// "WSJT-X: not running"); a change of state is announced.

#include "framework/form_view.h"
#include "pictures.h"

#include <string>
#include <utility>

class StatusLight : public CStatic {
public:
    // `program` names the light; `pictures` (kept by the caller) are shown.
    StatusLight(std::string program, const plovik::LightPictures& pictures)
        : m_program(std::move(program)), m_pictures(pictures)
    {
    }

    void Show(bool running);

private:
    std::string m_program;
    const plovik::LightPictures& m_pictures;
    bool m_named = false;
    bool m_running = false;
};
