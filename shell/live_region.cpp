#include "live_region.h"

#include <ole2.h>
#include <oleacc.h>

#include <algorithm>

namespace {

// Not in every SDK's headers: the identifiers as Microsoft publishes them.
constexpr GUID kLiveSettingProperty = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr CLSID kAccPropServicesClass = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kAccPropServicesInterface = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr LONG kPolite = 1; // LiveSetting's Polite
#ifndef EVENT_OBJECT_LIVEREGIONCHANGED
constexpr DWORD EVENT_OBJECT_LIVEREGIONCHANGED = 0x8019;
#endif

} // namespace

// Every failure here is passed over on purpose: without the annotation
// service (a Windows without it, or Wine's partial oleacc) the controls are
// read as before, by their names and the name-change event, which is all a
// screen reader then gets; that is no error for the user to see.
void LiveRegions::Add(HWND control)
{
    if (!control || std::find(m_controls.begin(), m_controls.end(), control) != m_controls.end())
        return;
    if (!m_bTried) {
        m_bTried = true;
        m_com.Enter();
        void* services = nullptr;
        if (SUCCEEDED(::CoCreateInstance(kAccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER,
                                         kAccPropServicesInterface, &services)))
            m_services.reset(static_cast<IAccPropServices*>(services));
    }
    if (!m_services)
        return;
    VARIANT setting{}; // as VariantInit leaves it
    setting.vt = VT_I4;
    setting.lVal = kPolite;
    if (SUCCEEDED(m_services->SetHwndProp(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                          kLiveSettingProperty, setting)))
        m_controls.push_back(control);
}

LiveRegions::LiveRegions() = default;

// The service is released, then COM, as their owners go.
LiveRegions::~LiveRegions()
{
    if (m_services) {
        // Annotations outlive nothing of ours: cleared while the service is held.
        const MSAAPROPID props[] = {kLiveSettingProperty};
        for (HWND control : m_controls)
            m_services->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                       props, 1);
    }
}

void LiveRegions::Announce(HWND control)
{
    Add(control);
    ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
    ::NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, control, OBJID_CLIENT, CHILDID_SELF);
}
