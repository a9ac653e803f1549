#pragma once
// The bridge view: the form with the two status lights, the badge and the
// "Do not send freq info" box, and the one-second tick that carries each
// contact from the WSJT-X log file to Logvex.
//
// Re-entry. Everything runs on the window's thread but the one send, which
// the sender thread makes; its result comes back to this thread. The
// transfer's work drains the queue now and then (while it reads, between
// two sends), so any handler may run inside it:
// - a tick entered inside another does nothing (the transfer's guard);
// - a send's result that arrives inside a tick is recorded at once, and the
//   running tick sends the rest;
// - a box is never shown inside the transfer's work (its loop would hold the
//   work up as long as it stays): it waits for that work to end;
// - a close inside the transfer's work stops it at its next drain and
//   closes once it has returned; a close while Logvex handles a contact
//   waits up to 30 s for the answer, with the window answering.

#include "check_box_label.h"
#include "folder_watch.h"
#include "framework/form_view.h"
#include "qso_record.h"
#include "status_light.h"
#include "system_files.h"
#include "taskbar_call.h"
#include "transfer.h"
#include "win32_window_side.h"
#include "wsjtx_finder.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CPlovik_bridgeView : public CFormView {
public:
    CPlovik_bridgeView();

    void OnInitialUpdate() override;
    void OnUpdate(CFormView* sender, LPARAM hint, void* hintObject) override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    bool CanCloseFrame() override;
    std::vector<HANDLE> RefreshWatch() override;
    void OnWatchSignalled(std::size_t index) override;

    void OnTimer(UINT_PTR nIDEvent);
    void OnCheckNoFreq();
    void OnMouseMove(UINT nFlags, POINT point);

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void UpdateLight(StatusLight& light, const char* windowClass, HWND* found = nullptr);
    void ChoosePaths();
    void CloseIfPending();
    bool TransferRunning() const { return m_transfer && m_transfer->IsRunning(); }
    // The transfer alone knows whether Logvex has a contact in hands.
    bool SendInFlight() const { return m_transfer && m_transfer->SendInFlight(); }
    // Takes the result of a send that has ended, if any, and goes on.
    void CollectSendResult();
    // Shows boxes held back during the transfer's work, then a close asked
    // for meanwhile.
    void AfterTransferWork();
    // The status line, in words, within a second of any change.
    void UpdateStatus();

    plovik::FormPictures m_pictures;
    CStatic m_stcBadge;
    LiveRegions m_liveRegions;
    StatusLight m_stcProgLight{"WSJT-X", m_pictures.lights, m_liveRegions};
    StatusLight m_stcLogLight{"Logvex", m_pictures.lights, m_liveRegions};
    StatusLine m_stcStatus{m_liveRegions};
    TaskbarCall m_call;
    WsjtxFinder m_wsjtxFinder;
    bool m_bLogvexRunning = false;
    int m_bNoFreq = 0;
    CheckBoxLabel m_noFreqLabel;
    std::string m_strLogPath;
    std::string m_strBakPath;
    std::string m_strAppData; // the local application-data folder, which holds every instance's
    std::uint8_t m_nNoFreq = 0;
    plovik::QsoRecord m_record;

    plovik::SystemFiles m_files;
    plovik::win32::Win32WindowSide m_window;
    std::optional<plovik::Transfer> m_transfer; // once the paths are known

    bool m_bClosePending = false;
    bool m_bCloseForced = false; // the close waited long enough for the send
    bool m_bBoxesDeferred = false;
    // Wakes the bridge as soon as a log folder changes, so a contact is
    // handed over at once rather than at the next timer tick.
    FolderWatch m_watch;
};
