#pragma once
// The application: start-up of the single-document bridge.

#include "framework/win_app.h"
#include "single_start.h"

class CPlovik_bridgeApp : public CWinApp {
public:
    BOOL InitInstance() override;
    bool OnCmdMsg(UINT id) override;
    void OnAppAbout();

private:
    SingleStart m_singleStart;
};
