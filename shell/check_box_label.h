#pragma once
// A check box whose caption is a static text of its own beside it ("Do not
// send freq info"), made to behave as one control with its caption:
// - the box carries the caption as its own window text, which is the name a
//   screen reader reads for it; it keeps only the square that holds its box,
//   so that text is never drawn twice;
// - a click on the caption toggles the box, as a click on the box does;
// - while the box has the keyboard focus and keyboard cues are shown, the
//   caption carries the focus mark a check box draws around its text.

#include <windows.h>

class CheckBoxLabel {
public:
    CheckBoxLabel() = default;
    ~CheckBoxLabel();
    CheckBoxLabel(const CheckBoxLabel&) = delete;
    CheckBoxLabel& operator=(const CheckBoxLabel&) = delete;

    // `box`: the check box; `label`: its caption, a static text with SS_NOTIFY.
    // Again after the form was made anew is harmless.
    void Attach(HWND box, HWND label);
    // A notification from the caption. A click (STN_CLICKED, or STN_DBLCLK
    // for the second of a quick pair) clicks the box, which tells its parent
    // as ever. True when it was one of those.
    bool OnLabelNotify(UINT code) const;

private:
    static LRESULT CALLBACK BoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR id, DWORD_PTR self);
    static LRESULT CALLBACK LabelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR self);
    bool ShowsFocusMark() const;
    void PaintLabel(HWND label) const;
    void Detach();

    HWND m_box = nullptr;
    HWND m_label = nullptr;
};
