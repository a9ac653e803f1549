#pragma once
// The main frame: no toolbar, no status bar, and no document title in its
// caption.

#include "framework/frame_wnd.h"

class CMainFrame : public CFrameWnd {};
