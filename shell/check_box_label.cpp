#include "check_box_label.h"

#include "gdi_scope.h"

#include <commctrl.h>

#include <string>

namespace {

constexpr UINT_PTR kSubclassId = 1;

std::wstring TextOf(HWND window)
{
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
    return text;
}

} // namespace

CheckBoxLabel::~CheckBoxLabel()
{
    Detach();
}

void CheckBoxLabel::Attach(HWND box, HWND label)
{
    Detach();
    if (!box || !label)
        return;
    // The button draws its text to the right of its box: with a window no
    // wider than it is high, only the box is left inside it.
    RECT rect;
    if (::GetWindowRect(box, &rect) && rect.right - rect.left > rect.bottom - rect.top)
        ::SetWindowPos(box, nullptr, 0, 0, rect.bottom - rect.top, rect.bottom - rect.top,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowTextW(box, TextOf(label).c_str());
    if (::SetWindowSubclass(box, &CheckBoxLabel::BoxProc, kSubclassId,
                            reinterpret_cast<DWORD_PTR>(this)))
        m_box = box;
    if (::SetWindowSubclass(label, &CheckBoxLabel::LabelProc, kSubclassId,
                            reinterpret_cast<DWORD_PTR>(this)))
        m_label = label;
}

void CheckBoxLabel::Detach()
{
    if (m_box)
        ::RemoveWindowSubclass(m_box, &CheckBoxLabel::BoxProc, kSubclassId);
    if (m_label)
        ::RemoveWindowSubclass(m_label, &CheckBoxLabel::LabelProc, kSubclassId);
    m_box = m_label = nullptr;
}

bool CheckBoxLabel::OnLabelNotify(UINT code) const
{
    if (code != STN_CLICKED && code != STN_DBLCLK)
        return false;
    if (m_box)
        ::SendMessageW(m_box, BM_CLICK, 0, 0);
    return true;
}

bool CheckBoxLabel::ShowsFocusMark() const
{
    return m_box && ::GetFocus() == m_box &&
           !(::SendMessageW(m_box, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
}

void CheckBoxLabel::PaintLabel(HWND label) const
{
    const plovik::win32::WindowPaint paint(label);
    const HDC dc = paint.get();
    if (!dc)
        return;
    // The caption as the static text paints itself, then the mark over it.
    ::DefSubclassProc(label, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    if (ShowsFocusMark()) {
        RECT client;
        ::GetClientRect(label, &client);
        RECT text = client;
        const plovik::win32::SelectedObject font(
            dc, reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0)));
        const bool noPrefix = (::GetWindowLongW(label, GWL_STYLE) & SS_NOPREFIX) != 0;
        ::DrawTextW(dc, TextOf(label).c_str(), -1, &text,
                    DT_CALCRECT | DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK |
                        (noPrefix ? DT_NOPREFIX : 0));
        ++text.right; // a pixel of room after the last letter, as a check box leaves
        RECT mark;
        if (::IntersectRect(&mark, &text, &client))
            ::DrawFocusRect(dc, &mark);
    }
}

LRESULT CALLBACK CheckBoxLabel::BoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR, DWORD_PTR self)
{
    auto* owner = reinterpret_cast<CheckBoxLabel*>(self);
    switch (message) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_UPDATEUISTATE: {
        // The caption shows the mark, or stops showing it.
        const LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
        if (owner->m_label)
            ::InvalidateRect(owner->m_label, nullptr, TRUE);
        return result;
    }
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(hwnd, &CheckBoxLabel::BoxProc, kSubclassId);
        owner->m_box = nullptr;
        break;
    default:
        break;
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK CheckBoxLabel::LabelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR self)
{
    auto* owner = reinterpret_cast<CheckBoxLabel*>(self);
    switch (message) {
    case WM_PAINT:
        owner->PaintLabel(hwnd);
        return 0;
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(hwnd, &CheckBoxLabel::LabelProc, kSubclassId);
        owner->m_label = nullptr;
        break;
    default:
        break;
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}
