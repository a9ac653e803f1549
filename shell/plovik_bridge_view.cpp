#include "plovik_bridge_view.h"

#include "app_messages.h"
#include "framework/document.h"
#include "framework/frame_wnd.h"
#include "framework/win_app.h"
#include "log_paths.h"
#include "logger_message.h"
#include "resource.h"
#include "status_text.h"
#include "wide.h"
#include "win_error.h"

#include <lmcons.h>
#include <shlobj.h>

#include <cstdlib>
#include <cstring>

namespace {

constexpr const char* kLogvexClass = "Logvex";
constexpr const char* kWsjtxClass = "Qt5QWindowIcon";
constexpr UINT_PTR kTickTimer = 1;
constexpr UINT kTickMs = 1000;
// Retry soon after WSJT-X was still writing when the folder changed.
constexpr UINT_PTR kRetryTimer = 2;
constexpr UINT kRetryMs = 50;
// How long a close waits for the send in flight before it ends all the same.
constexpr UINT_PTR kCloseTimer = 3;
constexpr UINT kCloseWaitMs = 30000;
} // namespace

CPlovik_bridgeView::CPlovik_bridgeView()
    : CFormView(IDD_BRIDGE_FORM), m_window(AfxLoadString(IDS_APP_TITLE))
{
}

BOOL CPlovik_bridgeView::PreCreateWindow(CREATESTRUCTA& cs)
{
    return CFormView::PreCreateWindow(cs);
}

void CPlovik_bridgeView::DoDataExchange(CDataExchange* pDX)
{
    CFormView::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_BADGE, m_stcBadge);
    DDX_Control(pDX, IDC_PROG_LIGHT, m_stcProgLight);
    DDX_Control(pDX, IDC_LOG_LIGHT, m_stcLogLight);
    DDX_Control(pDX, IDC_STATUS, m_stcStatus);
    DDX_Check(pDX, IDC_NO_FREQ, m_bNoFreq);
}

void CPlovik_bridgeView::UpdateLight(StatusLight& light, const char* windowClass, HWND* found)
{
    HWND window = nullptr;
    // WSJT-X's main window is known by its Qt class and its title, never by
    // the class alone: every program built on an older Qt 5 (VLC 3, ...)
    // registers "Qt5QWindowIcon", and current builds put Qt's whole version
    // in the class name.
    if (std::strcmp(windowClass, kWsjtxClass) == 0)
        window = m_wsjtxFinder.Find();
    else
        window = ::FindWindowA(windowClass, nullptr);
    light.Show(window != nullptr);
    if (found)
        *found = window;
}

void CPlovik_bridgeView::ChoosePaths()
{
    // The wide calls: the "A" ones give '?' for each letter of a user or
    // folder name outside the ANSI code page (a Cyrillic or Polish user name
    // on English Windows), and the log is never found.
    wchar_t user[UNLEN + 1];
    DWORD size = UNLEN + 1;
    std::optional<std::string> userName;
    if (::GetUserNameW(user, &size))
        userName = plovik::win32::Narrow(user);
    wchar_t appData[MAX_PATH] = L"";
    std::string localAppData;
    if (SUCCEEDED(
            ::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData)))
        localAppData = plovik::win32::Narrow(appData);
    m_strAppData = localAppData;
    const plovik::LogPaths paths = plovik::ChooseLogPaths(userName, FolderExists, localAppData);
    m_strLogPath = paths.m_strLogPath;
    m_strBakPath = paths.m_strBakPath;
}

void CPlovik_bridgeView::OnInitialUpdate()
{
    // The title, as the boxes', from the string table: one source.
    const std::string title = AfxLoadString(IDS_APP_TITLE);
    GetDocument()->SetTitle(title);
    CFormView::OnInitialUpdate();
    GetParentFrame()->RecalcLayout();
    ResizeParentToFit();
    ChoosePaths();
    GetParentFrame()->RecalcLayout();
    ResizeParentToFit();
    // Once per run: at the first start in a folder, a log there is old
    // history and kept aside; New and Open do not run it again.
    // Every WSJT-X and JTDX instance's folder is watched: the path rule's,
    // and each in the local application data, now and as they appear.
    if (!m_transfer) {
        m_transfer.emplace(m_files, m_window, m_record, m_nNoFreq);
        // Watched twice under two names, one folder would send each contact
        // twice: the old layout's is watched only where it is another.
        const std::string ruleBase = m_strLogPath.substr(0, m_strLogPath.rfind("\\WSJT-X\\"));
        if (m_strAppData.empty() || !IsSameFolder(ruleBase, m_strAppData))
            m_transfer->Watch(plovik::FolderPaths::For(m_strLogPath, m_strBakPath));
        if (!m_strAppData.empty())
            m_transfer->WatchInstancesIn(m_strAppData, '\\');
        // New instance folders are looked for when the folder's change
        // notification fires, not at every tick.
        m_transfer->LookForInstancesWhen([this] { return m_watch.ParentMayHaveChanged(); });
        m_transfer->StartUp();
    }

    // A repeated initial update (New, Open) keeps the pictures it has.
    m_pictures.Load();
    m_stcLogLight.SetBitmap(m_pictures.lights.off.get());
    m_stcBadge.SetBitmap(m_pictures.badge.get());
    m_noFreqLabel.Attach(GetDlgItem(IDC_NO_FREQ), GetDlgItem(IDC_NO_FREQ_LABEL));

    m_window.SetMainWindow(GetParentFrame()->GetSafeHwnd());
    m_window.SetCheckBox(GetDlgItem(IDC_NO_FREQ));
    m_window.SetView(m_hWnd);
    m_window.DrainMessages();
    UpdateLight(m_stcLogLight, kLogvexClass);
    UpdateLight(m_stcProgLight, kWsjtxClass);
    GetParentFrame()->SetWindowText(title);
    m_nNoFreq = 0;
    ::SetTimer(m_hWnd, kTickTimer, kTickMs, nullptr);
}

void CPlovik_bridgeView::OnUpdate(CFormView*, LPARAM, void*)
{
    m_window.DrainMessages();
    UpdateLight(m_stcProgLight, kWsjtxClass);
}

std::vector<HANDLE> CPlovik_bridgeView::RefreshWatch()
{
    // Diagnostic: PLOVIK_BRIDGE_TIMER_ONLY=1 leaves the folder watch off, so
    // the benchmark can measure what the one-second tick alone gives.
    static const bool timerOnly = [] {
        const char* value = std::getenv("PLOVIK_BRIDGE_TIMER_ONLY");
        return value && std::strcmp(value, "1") == 0;
    }();
    if (timerOnly || !m_transfer)
        return {};
    return m_watch.Refresh(m_strAppData, *m_transfer);
}

void CPlovik_bridgeView::OnWatchSignalled(std::size_t index)
{
    m_watch.Signalled(index);
    OnTimer(kTickTimer);
}

void CPlovik_bridgeView::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kRetryTimer)
        ::KillTimer(m_hWnd, kRetryTimer);
    if (nIDEvent == kCloseTimer) {
        // The send in flight at the close has had its time: the bridge ends
        // without its result, and the contact stays in the outbox.
        ::KillTimer(m_hWnd, kCloseTimer);
        m_bCloseForced = true;
        CloseIfPending();
        return;
    }
    if (!m_transfer)
        return;
    // The posted wake-up of a finished send may have been lost.
    CollectSendResult();
    const plovik::TickOutcome outcome = m_transfer->RunTick([this] {
        HWND logvex = nullptr;
        UpdateLight(m_stcLogLight, kLogvexClass, &logvex);
        UpdateLight(m_stcProgLight, kWsjtxClass);
        m_bLogvexRunning = logvex != nullptr;
        return reinterpret_cast<plovik::WindowRef>(logvex);
    });
    if (outcome.take == plovik::TakeOutcome::InUse)
        ::SetTimer(m_hWnd, kRetryTimer, kRetryMs, nullptr);
    UpdateStatus();
    AfterTransferWork();
}

void CPlovik_bridgeView::UpdateStatus()
{
    if (!m_transfer || TransferRunning())
        return;
    const plovik::Progress& progress = m_transfer->GetProgress();
    const bool callBegun =
        m_call.Follow(GetParentFrame()->GetSafeHwnd(), progress.calls, progress.calling);
    // What a screen reader hears as news: not the wait's every minute.
    plovik::Progress gist = progress;
    gist.oldestWait = 0;
    m_stcStatus.Show(plovik::StatusText(progress, m_bLogvexRunning),
                     plovik::StatusText(gist, m_bLogvexRunning), callBegun);
}

void CPlovik_bridgeView::CollectSendResult()
{
    // Recorded at once; the sending goes on from here, and a close asked for
    // meanwhile follows it.
    if (const std::optional<plovik::SendStatus> status = m_window.TakeSendResult();
        status && m_transfer) {
        m_transfer->SendFinished(*status);
        UpdateStatus();
        AfterTransferWork();
    }
}

void CPlovik_bridgeView::AfterTransferWork()
{
    if (TransferRunning())
        return; // a nested tick: the one running does this when it ends
    if (m_bBoxesDeferred) {
        m_bBoxesDeferred = false;
        ::PostMessageA(m_hWnd, plovik::win32::WM_APP_SHOW_BOXES, 0, 0);
    }
    CloseIfPending();
}

void CPlovik_bridgeView::CloseIfPending()
{
    if (m_bClosePending && !TransferRunning() && (!SendInFlight() || m_bCloseForced)) {
        m_bClosePending = false;
        ::PostMessageA(GetParentFrame()->GetSafeHwnd(), WM_CLOSE, 0, 0);
    }
}

bool CPlovik_bridgeView::CanCloseFrame()
{
    const bool waitForSend = SendInFlight() && !m_bCloseForced;
    if (!TransferRunning() && !waitForSend)
        return true;
    // Closing now would pull the view away under the running tick: stop it
    // at its next drain and close once it has returned. A contact Logvex is
    // handling now would stay in the outbox and go again at the next start:
    // its result is waited for, with the window answering, for a while.
    // (Windows' session end does not come this way, and waits for nothing.)
    if (waitForSend && !m_bClosePending &&
        !::SetTimer(m_hWnd, kCloseTimer, kCloseWaitMs, nullptr)) {
        // Without its timer the wait could last for ever: end as after it.
        m_bCloseForced = true;
        if (!TransferRunning())
            return true;
    }
    m_bClosePending = true;
    m_window.RequestStop();
    return false;
}

void CPlovik_bridgeView::OnCheckNoFreq()
{
    plovik::RefreshNoFreq(m_nNoFreq, m_window);
}

void CPlovik_bridgeView::OnMouseMove(UINT, POINT) {}

bool CPlovik_bridgeView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MOUSEMOVE:
        OnMouseMove(static_cast<UINT>(wParam),
                    POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        return false; // then the default handling
    case WM_TIMER:
        OnTimer(wParam);
        return false; // the timer message goes on to the default handling
    case plovik::win32::WM_APP_SEND_DONE:
        CollectSendResult();
        return true;
    case plovik::win32::WM_APP_SHOW_BOXES:
        // Not from a drain inside the transfer's work: the box's loop would
        // hold that work up for as long as the box stays.
        if (TransferRunning())
            m_bBoxesDeferred = true;
        else
            m_window.ShowWaitingBoxes();
        return true;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_NO_FREQ && HIWORD(wParam) == BN_CLICKED) {
            OnCheckNoFreq();
            return true;
        }
        if (LOWORD(wParam) == IDC_NO_FREQ_LABEL)
            return m_noFreqLabel.OnLabelNotify(HIWORD(wParam));
        return false;
    default:
        return CFormView::HandleMessage(message, wParam, lParam);
    }
}
